// Runtime classes, strings, collections, exceptions, files and archives.
#include <afx.h>
#include <afxres.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

class CShape : public CObject
{
    DECLARE_SERIAL(CShape)
public:
    CShape() {}
    int m_nSides = 0;
    CString m_strName;
    CShape* m_pNeighbour = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_nSides << m_strName;
            ar << m_pNeighbour;
        } else {
            ar >> m_nSides >> m_strName;
            CObject* p;
            ar >> p;
            m_pNeighbour = (CShape*)p;
        }
    }
};
IMPLEMENT_SERIAL(CShape, CObject, 1)

class CSquare : public CShape
{
    DECLARE_SERIAL(CSquare)
public:
    double m_dSide = 0;
    void Serialize(CArchive& ar) override
    {
        CShape::Serialize(ar);
        if (ar.IsStoring())
            ar << m_dSide;
        else
            ar >> m_dSide;
    }
};
IMPLEMENT_SERIAL(CSquare, CShape, 1)

class CPlain : public CObject
{
    DECLARE_DYNAMIC(CPlain)
};
IMPLEMENT_DYNAMIC(CPlain, CObject)

// Counts live instances, to show who deletes exceptions.
class CCountedException : public CUserException
{
public:
    static int s_nAlive;
    CCountedException() { s_nAlive++; }
    ~CCountedException() override { s_nAlive--; }
};
int CCountedException::s_nAlive = 0;

namespace {

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

}

TEST(RuntimeClass, KindsAndDynamicCreation)
{
    CObject* p = RUNTIME_CLASS(CSquare)->CreateObject();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(p->IsKindOf(RUNTIME_CLASS(CPlain)));
    EXPECT_STREQ(p->GetRuntimeClass()->m_lpszClassName, "CSquare");
    EXPECT_EQ(p->GetRuntimeClass()->m_nObjectSize, (int)sizeof(CSquare));
    EXPECT_EQ(p->GetRuntimeClass()->m_pBaseClass, RUNTIME_CLASS(CShape));
    EXPECT_TRUE(p->IsSerializable());
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, p), p);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CPlain, p), nullptr);
    delete p;

    // Classes without DYNCREATE cannot be created; registered classes are found by name.
    EXPECT_EQ(RUNTIME_CLASS(CPlain)->CreateObject(), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CSquare"), RUNTIME_CLASS(CSquare));
    EXPECT_EQ(CRuntimeClass::FromName("CObArray"), RUNTIME_CLASS(CObArray));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
    CPtrArray ptrs;
    EXPECT_TRUE(ptrs.IsKindOf(RUNTIME_CLASS(CPtrArray)));
    EXPECT_FALSE(ptrs.IsSerializable());
}

TEST(String, EditingMembers)
{
    struct Case { const char* name; std::string (*fn)(); const char* expected; };
    const Case cases[] = {
        {"Mid", [] { return std::string(CString("abcdef").Mid(2, 3)); }, "cde"},
        {"Mid past end", [] { return std::string(CString("abc").Mid(2, 10)); }, "c"},
        {"Mid from past end", [] { return std::string(CString("abc").Mid(5)); }, ""},
        {"Left", [] { return std::string(CString("abcdef").Left(2)); }, "ab"},
        {"Left too many", [] { return std::string(CString("ab").Left(9)); }, "ab"},
        {"Right", [] { return std::string(CString("abcdef").Right(2)); }, "ef"},
        {"SpanIncluding", [] { return std::string(CString("112x3").SpanIncluding("12")); }, "112"},
        {"SpanExcluding", [] { return std::string(CString("ab;cd").SpanExcluding(";")); }, "ab"},
        {"MakeUpper", [] { CString s("aBc"); s.MakeUpper(); return std::string(s); }, "ABC"},
        {"MakeLower", [] { CString s("aBc"); s.MakeLower(); return std::string(s); }, "abc"},
        {"MakeReverse", [] { CString s("abc"); s.MakeReverse(); return std::string(s); }, "cba"},
        {"TrimLeft", [] { CString s(" \t x "); s.TrimLeft(); return std::string(s); }, "x "},
        {"TrimRight", [] { CString s(" x \r\n"); s.TrimRight(); return std::string(s); }, " x"},
        {"TrimRight set", [] { CString s("x;;,"); s.TrimRight(";,"); return std::string(s); }, "x"},
        {"Replace grows", [] { CString s("a.b.c"); s.Replace(".", "::"); return std::string(s); }, "a::b::c"},
        {"Replace char", [] { CString s("a.b"); s.Replace('.', '-'); return std::string(s); }, "a-b"},
        {"Remove", [] { CString s("a-b-c"); s.Remove('-'); return std::string(s); }, "abc"},
        {"Insert", [] { CString s("ac"); s.Insert(1, "b"); return std::string(s); }, "abc"},
        {"Delete", [] { CString s("abcd"); s.Delete(1, 2); return std::string(s); }, "ad"},
        {"Append self", [] { CString s("ab"); s += s; return std::string(s); }, "abab"},
        {"Concat", [] { CString s = CString("a") + "b" + 'c'; return std::string(s); }, "abc"},
        {"Repeat", [] { return std::string(CString('x', 3)); }, "xxx"},
        {"Format", [] { CString s; s.Format("%d-%s-%.2f", 7, "q", 1.5); return std::string(s); }, "7-q-1.50"},
        {"Format self", [] { CString s("v"); s.Format("[%s]", (LPCTSTR)s); return std::string(s); }, "[v]"},
        {"FormatMessage", [] { CString s; s.FormatMessage("%2 then %1", "a", "b"); return std::string(s); }, "b then a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fn(), c.expected) << c.name;
}

TEST(String, SearchAndCompare)
{
    CString s("Hello, world");
    EXPECT_EQ(s.Find('o'), 4);
    EXPECT_EQ(s.Find('o', 5), 8);
    EXPECT_EQ(s.Find("world"), 7);
    EXPECT_EQ(s.Find("xyz"), -1);
    EXPECT_EQ(s.Find('o', 99), -1);
    EXPECT_EQ(s.ReverseFind('o'), 8);
    EXPECT_EQ(s.FindOneOf(",w"), 5);
    EXPECT_EQ(s.CompareNoCase("HELLO, WORLD"), 0);
    EXPECT_LT(s.Compare("Help"), 0);
    EXPECT_TRUE(s == "Hello, world");
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_EQ(s.GetLength(), 12);
    EXPECT_TRUE(CString().IsEmpty());
}

TEST(String, BufferAccess)
{
    CString s;
    LPTSTR p = s.GetBuffer(10);
    strcpy(p, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_STREQ(s, "abc");

    p = s.GetBufferSetLength(5);
    p[3] = 'd';
    p[4] = 'e';
    s.ReleaseBuffer(5);
    EXPECT_STREQ(s, "abcde");

    s.Empty();
    EXPECT_STREQ(s, "");
    s.GetBuffer(0)[0] = '\0';   // an empty string's buffer is writable after GetBuffer
    s.ReleaseBuffer();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(String, LoadsFrameworkStringsThroughTheChain)
{
    CString s;
    EXPECT_TRUE(s.LoadString(AFX_IDP_PARSE_INT));
    EXPECT_STREQ(s, "Please enter an integer.");
    CString t(MAKEINTRESOURCE(AFX_IDP_PARSE_REAL));
    EXPECT_STREQ(t, "Please enter a number.");
    EXPECT_FALSE(s.LoadString(0x7FF1));
    EXPECT_TRUE(s.IsEmpty());

    CString f;
    AfxFormatString2(f, AFX_IDP_PARSE_INT_RANGE, "1", "10");
    EXPECT_STREQ(f, "Please enter an integer between 1 and 10.");

    CString sub;
    EXPECT_TRUE(AfxExtractSubString(sub, "a\nbb\nccc", 1));
    EXPECT_STREQ(sub, "bb");
    EXPECT_FALSE(AfxExtractSubString(sub, "a\nbb", 3));
}

TEST(Geometry, RectPointSize)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 70)));   // right and bottom are outside
    r.OffsetRect(CPoint(-10, -20));
    EXPECT_EQ(r, CRect(0, 0, 100, 50));
    r.InflateRect(1, 2);
    EXPECT_EQ(r, CRect(-1, -2, 101, 52));
    EXPECT_EQ(CRect(0, 0, 10, 10) & CRect(5, 5, 20, 20), CRect(5, 5, 10, 10));
    EXPECT_EQ(CRect(0, 0, 10, 10) | CRect(5, 5, 20, 20), CRect(0, 0, 20, 20));
    CRect n(10, 10, 0, 0);
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(0, 0, 10, 10));
    EXPECT_EQ(CPoint(5, 5) - CPoint(2, 1), CSize(3, 4));
    EXPECT_EQ(CPoint(1, 1) + CSize(2, 3), CPoint(3, 4));
    EXPECT_EQ(r.Size(), CSize(102, 54));
}

TEST(Collections, ArraysGrowInsertAndRemove)
{
    CDWordArray a;
    for (DWORD i = 0; i < 1000; i++)
        a.Add(i);
    EXPECT_EQ(a.GetSize(), 1000);
    EXPECT_EQ(a.GetUpperBound(), 999);
    a.InsertAt(0, 77, 3);
    EXPECT_EQ(a.GetSize(), 1003);
    EXPECT_EQ(a[2], 77u);
    EXPECT_EQ(a[3], 0u);
    a.RemoveAt(0, 3);
    EXPECT_EQ(a[0], 0u);
    a.RemoveAt(500, 500);
    EXPECT_EQ(a.GetSize(), 500);
    EXPECT_EQ(a[499], 499u);
    a.SetAtGrow(600, 5);
    EXPECT_EQ(a.GetSize(), 601);
    EXPECT_EQ(a[550], 0u);   // new elements of plain types start at zero
    a.SetSize(10, 4);
    a.FreeExtra();
    EXPECT_EQ(a.GetSize(), 10);

    CStringArray s;
    s.Add("one");
    s.Add("three");
    s.InsertAt(1, "two");
    // Inserting an element of the array itself must copy it before the array moves.
    s.InsertAt(0, s[2], 2);
    ASSERT_EQ(s.GetSize(), 5);
    EXPECT_STREQ(s[0], "three");
    EXPECT_STREQ(s[3], "two");
    CStringArray t;
    t.Copy(s);
    t.Append(s);
    EXPECT_EQ(t.GetSize(), 10);
    EXPECT_STREQ(t[9], "three");
    t.RemoveAll();
    EXPECT_TRUE(t.IsEmpty());

    CTypedPtrArray<CObArray, CShape*> shapes;
    CShape shape;
    shapes.Add(&shape);
    EXPECT_EQ(shapes[0], &shape);
}

TEST(Collections, ListsKeepOrderThroughInsertAndRemove)
{
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    POSITION posC = list.AddTail("c");
    list.InsertBefore(posC, "b2");
    list.InsertAfter(posC, "d");
    std::string all;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        all += (LPCTSTR)list.GetNext(pos);
    EXPECT_EQ(all, "abb2cd");
    EXPECT_EQ(list.Find("c"), posC);
    EXPECT_EQ(list.FindIndex(3), posC);
    EXPECT_EQ(list.Find("zz"), nullptr);
    list.RemoveAt(posC);
    EXPECT_STREQ(list.RemoveHead(), "a");
    EXPECT_STREQ(list.RemoveTail(), "d");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_STREQ(list.GetHead(), "b");
    EXPECT_STREQ(list.GetTail(), "b2");

    CPtrList ptrs(10);
    int x, y;
    ptrs.AddTail(&x);
    ptrs.AddTail(&y);
    EXPECT_EQ(ptrs.Find(&y), ptrs.GetTailPosition());
    ptrs.RemoveAll();
    EXPECT_TRUE(ptrs.IsEmpty());
    EXPECT_EQ(ptrs.GetHeadPosition(), nullptr);
}

TEST(Collections, MapsLookupIterateAndRemove)
{
    CMapStringToString dict;
    for (int i = 0; i < 200; i++) {
        CString k, v;
        k.Format("key%d", i);
        v.Format("value%d", i);
        dict.SetAt(k, v);
    }
    dict["key5"] = "five";
    EXPECT_EQ(dict.GetCount(), 200);
    CString v;
    EXPECT_TRUE(dict.Lookup("key5", v));
    EXPECT_STREQ(v, "five");
    EXPECT_FALSE(dict.Lookup("nokey", v));
    EXPECT_TRUE(dict.RemoveKey("key7"));
    EXPECT_FALSE(dict.RemoveKey("key7"));

    int nSeen = 0;
    for (POSITION pos = dict.GetStartPosition(); pos;) {
        CString key, value;
        dict.GetNextAssoc(pos, key, value);
        EXPECT_EQ(key.Mid(3), key == "key5" ? CString("5") : value.Mid(5));
        nSeen++;
    }
    EXPECT_EQ(nSeen, 199);

    CMapWordToPtr words;
    int target;
    for (WORD w = 0; w < 40; w++)
        words.SetAt(w, w == 33 ? &target : nullptr);
    void* p = nullptr;
    EXPECT_TRUE(words.Lookup(33, p));
    EXPECT_EQ(p, &target);
    words.RemoveAll();
    EXPECT_FALSE(words.Lookup(33, p));
    EXPECT_EQ(words.GetStartPosition(), nullptr);

    CMap<int, int, double, double> tmpl;
    tmpl[3] = 1.5;
    double d;
    EXPECT_TRUE(tmpl.Lookup(3, d));
    EXPECT_EQ(d, 1.5);
}

TEST(Exceptions, CatchMacrosPickTheRightHandlerAndDelete)
{
    CCountedException::s_nAlive = 0;
    int nHandler = 0;
    TRY {
        throw new CCountedException;
    }
    CATCH(CFileException, e) {
        nHandler = 1;
    }
    AND_CATCH(CUserException, e) {
        nHandler = 2;
        EXPECT_EQ(CCountedException::s_nAlive, 1);
    }
    AND_CATCH_ALL(e) {
        nHandler = 3;
    }
    END_CATCH_ALL
    EXPECT_EQ(nHandler, 2);
    EXPECT_EQ(CCountedException::s_nAlive, 0);   // deleted by the macros

    // THROW_LAST passes the same object on without deleting it.
    CException* pCaught = nullptr;
    try {
        TRY {
            throw new CCountedException;
        }
        CATCH_ALL(e) {
            THROW_LAST();
        }
        END_CATCH_ALL
    } catch (CException* e) {
        pCaught = e;
    }
    ASSERT_NE(pCaught, nullptr);
    EXPECT_EQ(CCountedException::s_nAlive, 1);
    pCaught->Delete();
    EXPECT_EQ(CCountedException::s_nAlive, 0);
}

TEST(Exceptions, ThrowFunctionsRaiseTheirClasses)
{
    struct Case { const char* name; void (*thrower)(); CRuntimeClass* pClass; };
    const Case cases[] = {
        {"memory", [] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
        {"resource", [] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException)},
        {"user", [] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
        {"not supported", [] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
        {"ole", [] { AfxThrowOleException(E_NOINTERFACE); }, RUNTIME_CLASS(COleException)},
        {"file", [] { AfxThrowFileException(CFileException::diskFull, 112, "x.dat"); }, RUNTIME_CLASS(CFileException)},
        {"archive", [] { AfxThrowArchiveException(CArchiveException::badSchema); }, RUNTIME_CLASS(CArchiveException)},
    };
    for (const Case& c : cases) {
        CRuntimeClass* pGot = nullptr;
        TRY {
            c.thrower();
        }
        CATCH_ALL(e) {
            pGot = e->GetRuntimeClass();
            if (e->IsKindOf(RUNTIME_CLASS(COleException))) {
                EXPECT_EQ(COleException::Process(e), E_NOINTERFACE);
            }
        }
        END_CATCH_ALL
        EXPECT_EQ(pGot, c.pClass) << c.name;
    }
    // The memory exception is preallocated and survives its handlers.
    for (int i = 0; i < 2; i++) {
        TRY {
            AfxThrowMemoryException();
        }
        CATCH(CMemoryException, e) {
            char sz[100];
            EXPECT_TRUE(e->GetErrorMessage(sz, sizeof sz));
            EXPECT_STREQ(sz, "Out of memory.");
        }
        END_CATCH
    }
}

TEST(Files, OpenFailureReportsTheCause)
{
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open("C:\\no\\such\\dir\\file.txt", CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_FALSE(f.Open(TempPath("qxafx-missing.txt").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    char sz[300];
    EXPECT_TRUE(e.GetErrorMessage(sz, sizeof sz));
    EXPECT_NE(strstr(sz, "was not found"), nullptr);

    int nCause = -1;
    TRY {
        CFile f2(TempPath("qxafx-missing.txt").c_str(), CFile::modeRead);
    }
    CATCH(CFileException, e2) {
        nCause = e2->m_cause;
    }
    END_CATCH
    EXPECT_EQ(nCause, CFileException::fileNotFound);

    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(TempPath("qxafx-missing.txt").c_str(), status));
}

TEST(Files, BinaryFileReadWriteSeek)
{
    std::string path = TempPath("qxafx-bin.dat");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write("0123456789", 10);
        EXPECT_EQ(f.GetLength(), 10u);
        f.Seek(-3, CFile::end);
        f.Write("xyz", 3);
    }
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 10u);
    EXPECT_STREQ(buf, "0123456xyz");
    EXPECT_EQ(f.Seek(2, CFile::begin), 2);
    EXPECT_EQ(f.Read(buf, 2), 2u);
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_EQ(f.GetFileName(), CString("qxafx-bin.dat"));
    EXPECT_EQ(f.GetFileTitle(), CString("qxafx-bin"));
    CFileStatus status;
    EXPECT_TRUE(f.GetStatus(status));
    EXPECT_EQ(status.m_size, 10);
    f.Close();
    CFile::Remove(path.c_str());
    EXPECT_FALSE(CFile::GetStatus(path.c_str(), status));
}

TEST(Files, StdioFileReadsLinesWithoutTheirEnds)
{
    std::string path = TempPath("qxafx-text.txt");
    // Longer than the 256-byte chunks lines are read in.
    const CString second = CString("second ") + CString('.', 300);
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        f.WriteString("first\n");
        f.WriteString(second + "\n");
        f.WriteString("last without newline");
    }
    CStdioFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    CString line;
    std::vector<std::string> lines;
    while (f.ReadString(line))
        lines.push_back((LPCTSTR)line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "first");
    EXPECT_EQ(lines[1], (LPCTSTR)second);
    EXPECT_EQ(lines[2], "last without newline");
    f.Close();

    // A text file on disk has CR LF line ends; read in binary mode they do not leak into lines.
    CStdioFile b;
    ASSERT_TRUE(b.Open(path.c_str(), CFile::modeRead | CFile::typeBinary));
    ASSERT_TRUE(b.ReadString(line));
    EXPECT_STREQ(line, "first");
    b.Close();
    CFile::Remove(path.c_str());
}

TEST(Files, MemFileGrowsAndDetaches)
{
    CMemFile mf(16);
    for (int i = 0; i < 100; i++)
        mf.Write(&i, sizeof i);
    EXPECT_EQ(mf.GetLength(), 400u);
    mf.SeekToBegin();
    int v = -1;
    mf.Seek(4 * 50, CFile::begin);
    EXPECT_EQ(mf.Read(&v, 4), 4u);
    EXPECT_EQ(v, 50);
    mf.SeekToEnd();
    EXPECT_EQ(mf.Read(&v, 4), 0u);
    BYTE* p = mf.Detach();
    EXPECT_EQ(((int*)p)[99], 99);
    free(p);

    // A fixed buffer refuses to grow.
    BYTE fixed[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    CMemFile ff(fixed, sizeof fixed);
    EXPECT_EQ(ff.GetLength(), 8u);
    bool bThrown = false;
    TRY {
        ff.SeekToEnd();
        ff.Write("x", 1);
    }
    CATCH(CMemoryException, e) {
        bThrown = true;
    }
    END_CATCH
    EXPECT_TRUE(bThrown);
}

TEST(Archive, RoundTripsNumbersStringsAndObjectGraphs)
{
    CMemFile mf;
    CString longText('z', 70000);
    {
        CArchive ar(&mf, CArchive::store);
        ar << (BYTE)1 << (WORD)2 << (LONG)-3 << (DWORD)4 << 5.5f << 6.25 << 7;
        ar << CString("short") << longText << CString(CString('y', 300));
        CSquare* pA = new CSquare;
        pA->m_nSides = 4;
        pA->m_strName = "a";
        pA->m_dSide = 2.5;
        CShape* pB = new CShape;
        pB->m_strName = "b";
        pA->m_pNeighbour = pB;
        pB->m_pNeighbour = pA;   // a cycle: written once, referenced by tag
        CObArray arr;
        arr.Add(pA);
        arr.Add(pB);
        arr.Add(nullptr);
        arr.Serialize(ar);
        ar.Close();
        delete pA;
        delete pB;
    }
    EXPECT_EQ(mf.GetLength() > 70000u, true);

    mf.SeekToBegin();
    CArchive ar(&mf, CArchive::load);
    BYTE b; WORD w; LONG l; DWORD dw; float f; double d; int i;
    ar >> b >> w >> l >> dw >> f >> d >> i;
    EXPECT_EQ(b, 1); EXPECT_EQ(w, 2); EXPECT_EQ(l, -3); EXPECT_EQ(dw, 4u);
    EXPECT_EQ(f, 5.5f); EXPECT_EQ(d, 6.25); EXPECT_EQ(i, 7);
    CString s1, s2, s3;
    ar >> s1 >> s2 >> s3;
    EXPECT_STREQ(s1, "short");
    EXPECT_EQ(s2.GetLength(), 70000);
    EXPECT_TRUE(s2 == longText);
    EXPECT_EQ(s3.GetLength(), 300);
    CObArray arr;
    arr.Serialize(ar);
    ASSERT_EQ(arr.GetSize(), 3);
    CSquare* pA = DYNAMIC_DOWNCAST(CSquare, arr[0]);
    ASSERT_NE(pA, nullptr);
    EXPECT_EQ(pA->m_nSides, 4);
    EXPECT_EQ(pA->m_dSide, 2.5);
    CShape* pB = (CShape*)arr[1];
    EXPECT_EQ(pB->GetRuntimeClass(), RUNTIME_CLASS(CShape));
    EXPECT_EQ(pA->m_pNeighbour, pB);
    EXPECT_EQ(pB->m_pNeighbour, pA);
    EXPECT_EQ(arr[2], nullptr);
    delete pA;
    delete pB;
}

TEST(Archive, BadInputRaisesArchiveExceptions)
{
    // A stored shape read where a square is required.
    CMemFile mf;
    {
        CArchive ar(&mf, CArchive::store);
        CShape shape;
        ar << &shape;
    }
    DWORD nFull = mf.GetLength();
    struct Case { const char* name; DWORD nLength; CRuntimeClass* pRequired; int nCause; };
    const Case cases[] = {
        {"wrong class", nFull, RUNTIME_CLASS(CSquare), CArchiveException::badClass},
        {"truncated", nFull - 3, RUNTIME_CLASS(CShape), CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        mf.SetLength(c.nLength);
        mf.SeekToBegin();
        int nCause = -1;
        TRY {
            CArchive ar(&mf, CArchive::load);
            delete ar.ReadObject(c.pRequired);
        }
        CATCH(CArchiveException, e) {
            nCause = e->m_cause;
        }
        END_CATCH
        EXPECT_EQ(nCause, c.nCause) << c.name;
    }
}
