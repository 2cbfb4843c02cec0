// The state dump: every node of the project and every property, as indented text.
//
// Each node writes itself (DumpState) and then its children, so the dump follows the
// tree; the order of the lines is fixed, so that two dumps compare line by line.
#include "QKData.h"
#include "KernelInternal.h"

#include "QKContour.h"
#include "QKExternal.h"
#include "QKGraphObjects.h"
#include "Scx3DHost.h"

namespace {

// A text as one line: in double quotes, with line ends, tabs, quotes and backslashes escaped.
std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out + "\"";
}

const char* PageKind(QKPageType type)
{
    switch (type) {
    case QK_PAGE_WKS: return "worksheet";
    case QK_PAGE_GRAPH: return "graph";
    case QK_PAGE_MATRIX: return "matrix";
    case QK_PAGE_EXCEL: return "excel";
    case QK_PAGE_LAYOUT: return "layout";
    case QK_PAGE_NOTES: return "notes";
    }
    return "unknown";
}

void DumpLine(CQKStateDump& dump, const CQKPlotObj& line, const char* node)
{
    dump.Open(node);
    dump.Add("show", line.IsShow() != FALSE);
    dump.Add("color", line.GetColor());
    dump.Add("lineType", line.GetType());
    dump.Add("lineWidth", line.GetWidth());
    dump.Add("connectType", line.GetConnectType());
}

void DumpAxisRecord(CQKStateDump& dump, const char* dimension, const QKAxisRecord& r)
{
    dump.Open(std::string("axis ") + dimension);
    dump.Add("from", r.from);
    dump.Add("to", r.to);
    dump.Add("inc", r.inc);
    dump.Add("firstTick", r.firstTick);
    dump.Add("type", r.type);
    dump.Add("rescale", r.rescale);
    dump.Add("useMajor", r.useMajor);
    dump.Add("major", r.major);
    dump.Add("minorTicks", r.minorTicks);
    dump.Add("opposite", r.opposite);
    dump.Add("center", r.center);
    const CQKAxisBreak& b = r.axisBreak;
    dump.Open("break");
    dump.Add("enable", b.IsEnable() != FALSE);
    dump.Add("from", b.GetRegionFrom());
    dump.Add("to", b.GetRegionTo());
    dump.Add("position", b.GetPosition());
    dump.Add("logAfter", b.IsLogScaleAfter() != FALSE);
    dump.Add("incBefore", b.GetScaleIncBefore());
    dump.Add("incAfter", b.GetScaleIncAfter());
    dump.Add("ticksBefore", b.GetNumTicksBefore());
    dump.Add("ticksAfter", b.GetNumTicksAfter());
    dump.Close();
    DumpLine(dump, r.majorGrid, "majorGrid");
    dump.Close();
    DumpLine(dump, r.minorGrid, "minorGrid");
    dump.Close();
    for (int side = 0; side < 2; ++side) {
        const CQKAxisTicksObj& t = r.ticks[side];
        DumpLine(dump, t, side ? "ticks 2" : "ticks 1");
        dump.Add("axisType", t.GetAxisType());
        dump.Add("title", t.GetTitle());
        dump.Add("tickLength", t.GetTickLength());
        dump.Add("majorTicks", t.GetMajorTickType());
        dump.Add("minorTicks", t.GetMinorTickType());
        dump.Add("position", t.GetPosition());
        dump.Add("positionValue", t.GetPositionValue());
        dump.Add("labelNextAxis", t.IsLabelNextAxis() != FALSE);
        dump.Close();
        const CQKAxisLabelsObj& l = r.labels[side];
        DumpLine(dump, l, side ? "labels 2" : "labels 1");
        dump.Add("font", l.GetFontType());
        dump.Add("size", l.GetFontSize());
        dump.Add("rotation", l.GetTextRotation());
        dump.Add("labelType", l.GetLabelType());
        dump.Add("dataset", l.GetDataSetName());
        dump.Add("format", l.GetFormatType());
        dump.Add("factor", l.GetFactor());
        dump.Add("manualDec", l.IsAxisManualDec() != FALSE);
        dump.Add("decDigits", l.GetDecDigits());
        dump.Add("prefix", l.GetPrefixName());
        dump.Add("suffix", l.GetSuffixName());
        dump.Add("bold", l.IsLabelBold() != FALSE);
        dump.Add("alignment", l.GetLabelAlignment());
        dump.Add("hOffset", l.GetHorizontalOffset());
        dump.Add("vOffset", l.GetVerticalOffset());
        dump.Add("beginType", l.GetManuBeginType());
        dump.Add("beginLabel", l.GetManuBeginLabel());
        dump.Add("endType", l.GetManuEndType());
        dump.Add("endLabel", l.GetManuEndLabel());
        dump.Add("specialType", l.GetManuSpecialType());
        dump.Add("specialLabel", l.GetManuSpecialLabel());
        dump.Add("specialPosition", l.GetManuSpecialPosition());
        dump.Add("minorLabel", l.IsMinorLabel() != FALSE);
        dump.Add("minorOnMajor", l.IsMinorONMajorLabel() != FALSE);
        dump.Add("majorOffset", l.GetMajorTickOffset());
        dump.Add("plusSigns", l.IsShowPlusSigns() != FALSE);
        dump.Add("minusSigns", l.IsShowMinusSigns() != FALSE);
        dump.Add("box", l.IsAxisShowBox() != FALSE);
        dump.Close();
    }
    dump.Close();
}

} // namespace

// ---- the writer --------------------------------------------------------------------------

void CQKStateDump::Open(const std::string& node)
{
    m_text.append((size_t)m_depth * 2, ' ');
    m_text += node + " {\n";
    ++m_depth;
}

void CQKStateDump::Close()
{
    if (m_depth > 0)
        --m_depth;
    m_text.append((size_t)m_depth * 2, ' ');
    m_text += "}\n";
}

void CQKStateDump::Add(const char* name, const std::string& value)
{
    m_text.append((size_t)m_depth * 2, ' ');
    m_text += std::string(name) + " = " + Quote(value) + "\n";
}

void CQKStateDump::Add(const char* name, int value)
{
    m_text.append((size_t)m_depth * 2, ' ');
    m_text += std::string(name) + " = " + std::to_string(value) + "\n";
}

void CQKStateDump::Add(const char* name, double value)
{
    m_text.append((size_t)m_depth * 2, ' ');
    m_text += std::string(name) + " = " + qkFormatNumber(value, 17) + "\n";
}

// ---- datasets and pages ------------------------------------------------------------------

void qkDumpDataset(CQKStateDump& dump, const CQKDataset& d)
{
    dump.Open("dataset " + d.GetName());
    if (d.IsColumn()) {
        dump.Add("column", d.m_columnName);
        dump.Add("label", d.m_label);
        dump.Add("format", d.m_format);
        dump.Add("subformat", d.m_subformat);
        dump.Add("width", d.m_width);
        dump.Add("type", d.m_type);
        dump.Add("function", d.m_function);
    }
    CQKDataset* x = qkfxGetProject().GetDatasetFromHandle(d.m_xDataset);
    dump.Add("x", x ? x->GetName() : std::string());
    dump.Add("first", d.GetFirst());
    dump.Add("end", d.GetEnd());
    if (!d.GetMaskedRows().empty() || !d.m_maskOn || d.m_maskHidden || d.m_maskColor != 1) {
        std::string rows;
        for (int row : d.GetMaskedRows())
            rows += (rows.empty() ? "" : " ") + std::to_string(row);
        dump.Add("masked", rows);
        dump.Add("maskOn", d.m_maskOn);
        dump.Add("maskHidden", d.m_maskHidden);
        dump.Add("maskColor", d.m_maskColor);
    }
    std::string values;
    for (int row = 0; row < d.GetEnd(); ++row) {
        if (d.IsText(row))
            continue;
        values += (values.empty() ? "" : " ") + qkFormatNumber(d.GetValue(row), 17);
    }
    dump.Add("values", values);
    for (int row = 0; row < d.GetEnd(); ++row)
        if (d.IsText(row))
            dump.Add(("text " + std::to_string(row)).c_str(), d.GetText(row));
    dump.Close();
}

void CQKPage::DumpPageHeader(CQKStateDump& dump) const
{
    dump.Open(std::string("page ") + GetName() + " " + PageKind(GetType()));
    dump.Add("template", GetTemplateName());
    dump.Add("file", GetFullPathFileName());
    dump.Add("hidden", m_hiddenWnd);
    dump.Add("cropMarks", m_showCropmark);
    if (GetFolder() != m_project->GetRootFolder())
        dump.Add("folder", GetFolder()->GetPath());
    if (!m_label.empty())
        dump.Add("label", m_label);
}

void CQKPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    dump.Close();
}

void CQKWksPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    dump.Add("selection", qkFormatText("%d %d %d %d", m_selC1, m_selC2, m_selR1, m_selR2));
    dump.Add("selectionWholeRows", m_selWholeRows);
    dump.Add("labelsShown", m_labelsShown);
    dump.Add("showGrid", m_showGrid);
    if (!m_script.empty())
        dump.Add("script", m_script);
    if (GetType() == QK_PAGE_EXCEL) {
        dump.Add("fileForLoading", m_fileNameForLoading);
        dump.Add("externalHidden", m_externalHidden != FALSE);
    }
    for (int c = 1; c <= GetNumCols(); ++c)
        qkDumpDataset(dump, *GetColumn(c));
    dump.Close();
}

void CQKWksExternPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    dump.Add("selection", qkFormatText("%d %d %d %d", m_selC1, m_selC2, m_selR1, m_selR2));
    dump.Add("labelsShown", m_labelsShown);
    dump.Add("fileForLoading", GetFileNameForLoading());
    dump.Add("externalHidden", IsExternalHidden() != FALSE);
    for (int c = 1; c <= GetNumCols(); ++c)
        qkDumpDataset(dump, *GetColumn(c));
    dump.Add("externalName", m_externalName);
    dump.Add("externalSource", m_externalSource);
    dump.Add("noSourceFile", m_noSourceFile);
    dump.Add("internalSaving", m_internalSaving);
    dump.Add("automaticUpdate", m_automaticUpdate);
    dump.Add("activeLayer", m_activeLayer);
    for (const auto& layer : m_layers) {
        dump.Open(qkFormatText("sheet %d %s", layer->GetID(), layer->GetName().c_str()));
        dump.Add("used", qkFormatText("%d %d %d %d", layer->m_r1, layer->m_r2, layer->m_c1, layer->m_c2));
        for (int c = 1; c <= layer->GetNumCols(); ++c)
            qkDumpDataset(dump, *layer->GetColumn(c));
        dump.Close();
    }
    dump.Close();
}

void CQKMatrixPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    dump.Add("rows", m_rows);
    dump.Add("cols", m_cols);
    dump.Add("x", qkFormatNumber(m_x1, 17) + " " + qkFormatNumber(m_x2, 17));
    dump.Add("y", qkFormatNumber(m_y1, 17) + " " + qkFormatNumber(m_y2, 17));
    dump.Add("display", qkFormatText("format %d numeric %d digits %d width %d type %d", m_dataFormat, m_numDisplay,
                                     m_digits, m_columnWidth, m_internalType));
    dump.Add("formula", m_expression);
    for (int r = 1; r <= m_rows; ++r) {
        std::string row;
        for (int c = 1; c <= m_cols; ++c)
            row += (c > 1 ? " " : "") + qkFormatNumber(GetCell(r, c), 17);
        dump.Add(("row " + std::to_string(r)).c_str(), row);
    }
    dump.Close();
}

void CQKNotesPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    dump.Add("text", m_text);
    dump.Add("times", qkFormatNumber(m_created, 17) + " " + qkFormatNumber(m_modified, 17));
    dump.Add("selection", qkFormatText("%d %d", m_selStart, m_selEnd));
    dump.Add("word wrap", m_wordWrap);
    dump.Close();
}

void CQKGraphPage::DumpState(CQKStateDump& dump) const
{
    DumpPageHeader(dump);
    const QKGraphPageState& p = m_pageState;
    dump.Add("activeLayer", m_activeLayer);
    dump.Add("viewMode", p.viewMode);
    dump.Add("displRedraw", (int)p.displRedraw);
    dump.Add("speedModeForExport", p.speedModeForExport);
    dump.Add("displSetActive", p.displSetActive);
    dump.Add("colorCntl", p.colorCntl);
    dump.Add("colorBase", p.colorBase);
    dump.Add("colorGradient", p.colorGradient);
    dump.Add("colorGradientCntl", p.colorGradientCntl);
    dump.Add("connectBreak", p.connectBreak);
    dump.Add("connectMiss", p.connectMiss);
    dump.Add("masterItems", p.masterItems);
    dump.Add("legendFullName", p.legendFullName);
    dump.Add("legendAutoUpdate", p.legendAutoUpdate);
    dump.Add("legendActiveIndicate", p.legendActiveIndicate);
    dump.Add("legendSymbolWidth", p.legendSymbolWidth);
    dump.Add("dimUnits", p.dimUnits);
    dump.Add("dimWidth", p.dimWidth);
    dump.Add("dimHeight", p.dimHeight);
    dump.Add("dimPrinter", p.dimPrinter);
    dump.Add("customWidth", p.customWidth);
    dump.Add("customHeight", p.customHeight);
    for (const auto& layer : m_graphicLayers)
        layer->DumpState(dump);
    dump.Close();
}

void CQKProject::DumpState(CQKStateDump& dump) const
{
    dump.Open("project");
    CQKPage* active = GetActivePage();
    dump.Add("activePage", active ? active->GetName() : std::string());
    dump.Add("file", m_path);
    dump.Add("resultsLog", m_resultsLog);
    // The explorer's folders, when there are any besides the root.
    if (m_root->GetNumFolders() > 0) {
        std::string folders;
        std::vector<const CQKFolder*> pending{m_root.get()};
        while (!pending.empty()) {
            const CQKFolder* f = pending.back();
            pending.pop_back();
            if (f != m_root.get())
                folders += (folders.empty() ? "" : " ") + f->GetPath();
            for (int i = f->GetNumFolders() - 1; i >= 0; --i)
                pending.push_back(f->GetFolder(i));
        }
        dump.Add("folders", folders);
        dump.Add("currentFolder", m_currentFolder->GetPath());
    }
    for (const auto& page : m_pages)
        page->DumpState(dump);
    for (const auto& d : m_datasets)
        qkDumpDataset(dump, *d);
    static const char kHex[] = "0123456789abcdef";
    auto blocks = [&](const char* node, const std::map<std::string, std::vector<BYTE>>& list) {
        for (const auto& block : list) {
            dump.Open(node + block.first);
            dump.Add("size", (int)block.second.size());
            std::string bytes;
            for (BYTE b : block.second) {
                bytes += kHex[b >> 4];
                bytes += kHex[b & 15];
            }
            dump.Add("bytes", bytes);
            dump.Close();
        }
    };
    blocks("block ", m_namedBlocks);
    // The plug-ins' blocks and saved queries are the session's; a project file keeps them.
    blocks("memblock ", qkGetHostBlocks());
    for (const auto& query : qkSavedTexts()) {
        dump.Open("query " + query.first);
        dump.Add("text", query.second);
        dump.Close();
    }
    dump.Close();
}

std::string qkfxDumpProject()
{
    CQKStateDump dump;
    qkfxGetProject().DumpState(dump);
    return dump.GetText();
}

// ---- layers and their objects ------------------------------------------------------------

void CQKGraphicLayer::DumpState(CQKStateDump& dump) const
{
    dump.Open("layer " + m_name);
    const QKLayerState& s = m_st;
    dump.Add("is3D", m_3D);
    dump.Add("triangle", m_triangle);
    dump.Add("bkgBorder", s.bkgBorder);
    dump.Add("bkgBorderStyle", s.bkgBorderStyle);
    dump.Add("bkgColor", s.bkgColor);
    dump.Add("bkgColorValue", s.bkgColorValue);
    dump.Add("measUnits", s.measUnits);
    dump.Add("measLeft", s.measLeft);
    dump.Add("measTop", s.measTop);
    dump.Add("measWidth", s.measWidth);
    dump.Add("measHeight", s.measHeight);
    dump.Add("bufferingType", s.bufferingType);
    dump.Add("matrixSkip", s.matrixSkip);
    dump.Add("matrixXPoints", s.matrixXPoints);
    dump.Add("matrixYPoints", s.matrixYPoints);
    dump.Add("wksSkip", s.wksSkip);
    dump.Add("wksPoints", s.wksPoints);
    dump.Add("axisDisplay", s.axisDisplay);
    dump.Add("labelShown", s.labelShown);
    dump.Add("dataShown", s.dataShown);
    dump.Add("clipToFrame", s.clipToFrame);
    dump.Add("dataOnTopAxes", s.dataOnTopAxes);
    dump.Add("gridOnTopData", s.gridOnTopData);
    dump.Add("scaleWithLayer", s.scaleWithLayer);
    dump.Add("scalingFactor", s.scalingFactor);
    dump.Add("clipHorizPercent", s.clipHorizPercent);
    if (s.waterfallX != 0 || s.waterfallY != 0) {
        dump.Add("waterfallX", s.waterfallX);
        dump.Add("waterfallY", s.waterfallY);
    }
    dump.Add("clipVertPercent", s.clipVertPercent);
    dump.Add("linkTo", s.linkTo);
    dump.Add("xLink", s.xLink);
    dump.Add("yLink", s.yLink);
    dump.Add("links", s.x1 + " " + s.x2 + " " + s.y1 + " " + s.y2);
    const char* dims[3] = {"X", "Y", "Z"};
    for (int d = 0; d < 3; ++d)
        DumpAxisRecord(dump, dims[d], m_axes[d]);
    if (m_view3D.size() == sizeof(Scx3DView)) {
        const auto* v = reinterpret_cast<const Scx3DView*>(m_view3D.data());
        dump.Add("view3D", qkFormatText("rotation %g roll %g tilt %g perspective %g box %g %g %g walls %d",
                                        v->rotation, v->roll, v->tilt, v->perspective, v->boxX, v->boxY, v->boxZ,
                                        v->walls));
        dump.Add("planes3D", qkFormatText("at %g %g %g clip %g %g %g %g", v->wallZ, v->wallX, v->wallY, v->xyRect[0],
                                          v->xyRect[1], v->xyRect[2], v->xyRect[3]));
    }
    if (s.exchangeAxes)
        dump.Add("exchangeAxes", 1);
    if (s.polar)
        dump.Add("polar", 1);
    if (s.stackPlots)
        dump.Add("stackPlots", 1);
    if (!m_restorePlace.empty()) {
        const std::vector<double>& r = m_restorePlace;
        dump.Add("restorePlace", qkFormatText("units %g left %g top %g width %g height %g", r[0], r[1], r[2], r[3], r[4]));
    }
    if (m_3D)
        dump.Add("settings3D", qkFormatText("rotateLabels %d perspective %d planeColors %d %d %d outline %d %d %d %g",
                                            s.rotateLabels, s.perspective, s.planeColor[0], s.planeColor[1],
                                            s.planeColor[2], s.cubeOutline, s.cubeOutlineColor, s.cubeOutlineStyle,
                                            s.cubeOutlineWidth));
    for (int id : GetObjectIds())
        GetObject(id)->DumpState(dump);
    dump.Close();
}

void CQKPlotObj::DumpState(CQKStateDump& dump) const
{
    const QKPlotState& s = m_s;
    dump.Open(qkFormatText("plot %d %s", m_id, GetPlotTypeName().c_str()));
    dump.Add("plotType", s.plotType);
    dump.Add("dataset", s.dataset);
    for (const QKPlotData& d : s.data)
        dump.Add("data", qkFormatText("%d %s %d %d", d.role, d.dataset.c_str(), d.first, d.end));
    dump.Add("color", s.color);
    dump.Add("show", s.show);
    dump.Add("lineType", s.lineType);
    dump.Add("lineWidth", s.lineWidth);
    dump.Add("connectType", s.connectType);
    const QKSymbolState& y = s.symbol;
    dump.Add("symbol", qkFormatText("style %d shape %d fill %d size %g column %d factor %g thickness %d edge %d "
                                    "fillColor %d outline %d font %d charStyle %d offset %d",
                                    y.style, y.shape, y.fill, y.size, y.sizeColumn, y.scalingFactor, y.thickness,
                                    y.edgeColor, y.fillColor, y.outline ? 1 : 0, y.charFont, y.charStyle,
                                    y.offsetOverlapped ? 1 : 0));
    const QKDropLineState& d = s.drop;
    dump.Add("dropLines", qkFormatText("type %d vert %d %g %d hori %d %g %d z %d %g %d skip %d %d", d.type, d.vertType,
                                       d.vertWidth, d.vertColor, d.horiType, d.horiWidth, d.horiColor, d.zType,
                                       d.zWidth, d.zColor, d.skip ? 1 : 0, d.skipFrequency));
    const QKLabelState& l = s.label;
    dump.Add("labels", qkFormatText("font %d color %d size %d justify %d attach %d rotate %g offset %g %g style %d "
                                    "whiteOut %d",
                                    l.font, l.color, l.size, l.justify, l.attachment, l.rotation, l.xOffset, l.yOffset,
                                    l.style, l.whiteOut ? 1 : 0));
    const QKVectorState& v = s.vector;
    dump.Add("vector", qkFormatText("head %d %d closed %d position %d angle %g magnitude %g", v.arrowLength,
                                    v.arrowAngle, v.arrowClosed ? 1 : 0, v.position, v.angle, v.magnitude));
    const QKPieState& e = s.pie;
    dump.Add("pie", qkFormatText("labels %d %d %d %d %d %g %d %d view %d skirt %g azimuth %d ccw %d radius %d "
                                 "offset %d exploded %u displacement %d",
                                 e.labelRewrite, e.labelValue, e.labelPercent, e.labelCategory, e.labelReposition,
                                 e.labelDistance, e.labelHide, e.labelDrawArrow, e.viewAngle, e.skirtHeight,
                                 e.azimuth, e.counterClockwise, e.radiusScale, e.horizontalOffset, e.explodedWedges,
                                 e.wedgeDisplacement));
    dump.Add("function", s.function.name + "(x) = " + s.function.formula +
                             qkFormatText(" density %g show %d", s.function.density, s.function.show ? 1 : 0));
    if (m_s.plotType == QK_PLOT_BOX) {
        const QKBoxState& b = s.box;
        dump.Add("box", qkFormatText("type %d range %d coef %g width %g whisker %d coef %g outliers %d diamond %d "
                                     "labels %d %d",
                                     b.type, b.boxRange, b.boxCoef, b.boxCap, b.whiskerRange, b.whiskerCoef,
                                     b.outliers ? 1 : 0, b.diamondBox ? 1 : 0, b.boxLabel ? 1 : 0,
                                     b.whiskerLabel ? 1 : 0));
        const QKBoxDataState& d = s.boxData;
        std::string perc;
        for (const QKPercentileSymbol& p : d.perc)
            perc += qkFormatText(" %d/%d/%d/%d/%d", p.style, p.shape, p.fill, p.charFont, p.charStyle);
        dump.Add("boxData", qkFormatText("type %d single %d snap %d userBins %d bins %g %g %g height %g curve %d %g "
                                         "align %d percentiles%s size %d colors %d %d",
                                         d.dotType, d.singleBlock ? 1 : 0, d.snapData ? 1 : 0, d.binUserDef ? 1 : 0,
                                         d.binSize, d.binBegin, d.binEnd, d.binHeight, d.curveType, d.curveScale,
                                         d.binAlign, perc.c_str(), d.percSize, d.symbolColor, d.symbolFill));
    }
    dump.Add("symbolsConnected", s.symbolsConnected);
    dump.Add("areaFilled", s.areaFilled);
    dump.Add("fillAreaMode", s.fillAreaMode);
    dump.Add("lineSymbolGap", s.lineSymbolGap);
    dump.Add("lineInFront", s.lineInFront);
    dump.Add("group", s.group);
    dump.Add("groupBegin", s.groupBegin);
    dump.Add("independent", s.independent);
    dump.Add("groupEnum", s.groupEnum);
    dump.Add("hiddenFromLegend", s.hiddenFromLegend);
    dump.Add("errorBar", s.errorBar);
    dump.Add("matrixData", s.matrixData);
    dump.Add("onePoint", s.onePoint);
    dump.Add("numPatterns", s.numPatterns);
    dump.Add("activeTabID", s.activeTabID);
    dump.Add("colorMapData", s.colorMapData);
    dump.Add("frame3D", s.frame3D);
    dump.Add("boxGap", s.boxGap);
    dump.Add("gapWithinGroup", s.gapWithinGroup);
    dump.Add("barThickness", s.barThickness);
    dump.Add("objectColumns", s.objectColumns);
    for (const QKSpecialPoint& p : s.specialPoints) {
        const QKPartLook& k = p.look;
        dump.Add(("specialPoint " + std::to_string(p.row + 1)).c_str(),
                 qkFormatText("color %d symbol %d %d %g %d %d", k.color, k.symbol.shape, k.symbol.fill, k.symbol.size,
                              k.symbol.edgeColor, k.symbol.fillColor));
    }
    if (Is3DScatterPlot()) {
        const QKScatterParts& c = s.scatter;
        dump.Add("scatterShown", qkFormatText("%d %d %d %d", c.shown[0], c.shown[1], c.shown[2], c.shown[3]));
        for (int i = 0; i < QK_SCATTER_PARTS - 1; ++i) {
            const QKPartLook& k = c.look[i];
            dump.Add(("projection " + std::to_string(i + 1)).c_str(),
                     qkFormatText("own %d color %d line %d %g connect %d %d symbol %d %d %g %d %d", c.ownLook[i],
                                  k.color, k.lineType, k.lineWidth, k.connectType, k.symbolsConnected,
                                  k.symbol.shape, k.symbol.fill, k.symbol.size, k.symbol.edgeColor,
                                  k.symbol.fillColor));
        }
    }
    for (int i = 0; i < 3; ++i) {
        const QKPatternState& p = s.pattern[i];
        dump.Add(("pattern " + std::to_string(i)).c_str(),
                 qkFormatText("border %d %d %s fill %d %d %d %s type %d", p.borderColor, p.borderType,
                              qkFormatNumber(p.borderWidth, 17).c_str(), p.bkColor, p.fillPattern, p.barFillColor,
                              qkFormatNumber(p.fillWidth, 17).c_str(), p.patternType));
    }
    if (auto* contour = dynamic_cast<const CQKContourPlotObj*>(this)) {
        dump.Add("showGrids", contour->IsShowGrids() != FALSE);
        dump.Add("contourNeeded", contour->IsContourNeeded() != FALSE);
        dump.Add("fillContours", contour->IsFillContours() != FALSE);
        dump.Add("labelMinArea", contour->GetLabelCreationMinArea());
        const CQKContourGrid* grid = contour->GetContourGrid();
        dump.Add("grid", qkFormatText("%d x %d", grid->GetRows(), grid->GetCols()));
        dump.Add("store", grid->GetContourData() != nullptr);
    }
    dump.Close();
}

void CQKErrorBar::DumpState(CQKStateDump& dump) const
{
    CQKPlotObj::DumpState(dump);
    dump.Open(qkFormatText("errorBar %d", m_id));
    dump.Add("ownerColor", m_ownerColor);
    dump.Add("lineWidth", m_lineWidth);
    dump.Add("capWidth", m_capWidth);
    dump.Add("throughSymbol", m_throughSymbol);
    dump.Add("plus", m_plus);
    dump.Add("minus", m_minus);
    dump.Add("x", m_x);
    dump.Add("relative", m_relative);
    dump.Add("madeBefore60", m_before60);
    dump.Close();
}

void CQKTextObj::DumpState(CQKStateDump& dump) const
{
    dump.Open(qkFormatText("text %d %s", m_id, m_name.c_str()));
    dump.Add("text", m_text);
    dump.Add("font", m_style.font);
    dump.Add("rotation", (int)m_style.rotation);
    dump.Add("size", m_style.size);
    dump.Add("alignment", (int)m_style.alignment);
    dump.Add("flags", (int)m_style.flags);
    dump.Add("color", m_color);
    dump.Add("border", m_border);
    dump.Add("borderStyle", m_borderStyle);
    dump.Add("tabWidth", m_tabWidth);
    dump.Add("showLinkVars", m_showLinkVars);
    dump.Add("posX", m_posX);
    dump.Add("posY", m_posY);
    if (m_behindData)
        dump.Add("behindData", true);
    if (m_group)
        dump.Add("group", m_group);
    dump.Close();
}

void CQKAxes::DumpState(CQKStateDump& dump) const
{
    // The axes' properties are the layer's axis records, written with the layer.
    dump.Open(qkFormatText("axes %d", m_id));
    dump.Add("axisType", m_type);
    dump.Close();
}
