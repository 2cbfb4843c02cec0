// The sound import into real worksheets through the kernel. The reference samples are read
// here straight from the files' data chunks (44-byte canonical headers), independently of
// the plug-in; the files are 0.1 s stereo sines at 44100 frames a second.
#include "QKAccess.h"
#include "QKData.h"
#include "QKHost.h"
#include "QKScript.h"

#include "qxdefs.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string DataFile(const char* name)
{
    return std::string(QXFILEIO_TEST_DATA) + "/" + name;
}

std::vector<unsigned char> Bytes(const std::string& path)
{
    std::vector<unsigned char> out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    int c;
    while ((c = fgetc(f)) != EOF)
        out.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return out;
}

bool Script(const std::string& text)
{
    return qkfxGetScript().Execute(text.c_str());
}

double Eval(const std::string& expression)
{
    double v = -999;
    EXPECT_TRUE(qkfxGetScript().Evaluate(expression.c_str(), &v)) << expression;
    return v;
}

class KernelImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Sound"));
        ASSERT_NE(wks, nullptr);
    }
    void TearDown() override
    {
        Script("fum.closeall()");
        qkfxGetAccess()->Uninit();
    }
    CQKWksPage* wks = nullptr;
};

} // namespace

TEST_F(KernelImport, StereoPcmSoundsFillTimeDataLeftAndRight)
{
    struct Row {
        const char* file;
        int width;
    } rows[] = {{"sine_b8eunsignedinteger.wav", 1}, {"sine_b16esignedinteger.wav", 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        std::vector<unsigned char> bytes = Bytes(DataFile(row.file));
        ASSERT_GT(bytes.size(), 44u);
        uint32_t dataSize;
        memcpy(&dataSize, &bytes[40], 4);
        int frames = static_cast<int>(dataSize) / (2 * row.width);
        auto sample = [&](int k) {
            const unsigned char* p = &bytes[44 + k * row.width];
            if (row.width == 1)
                return static_cast<double>(p[0]);
            int16_t s;
            memcpy(&s, p, 2);
            return static_cast<double>(s);
        };
        ASSERT_TRUE(Script("fum.reset(); fum.nbytes = 4; fum.signed = 1; fum.open(" + DataFile(row.file) +
                        "); fum.wav(Sound)"))
            << qkfxGetScript().GetLastError();
        ASSERT_EQ(wks->GetNumCols(), 4);
        EXPECT_EQ(wks->GetColumn(2)->m_columnName, "Data");
        EXPECT_EQ(wks->GetColumn(3)->m_columnName, "Left");
        EXPECT_EQ(wks->GetColumn(4)->m_columnName, "Right");
        ASSERT_EQ(wks->GetColumn(3)->GetEnd(), frames);
        ASSERT_EQ(wks->GetColumn(2)->GetEnd(), 2 * frames);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(wks->GetColumn(1)->GetValue(i), (i + 1) / 44100.0) << i;
            ASSERT_EQ(wks->GetColumn(3)->GetValue(i), sample(2 * i)) << i;
            ASSERT_EQ(wks->GetColumn(4)->GetValue(i), sample(2 * i + 1)) << i;
        }
        // The settings are back as the script left them.
        EXPECT_EQ(Eval("fum.nbytes"), 4);
        EXPECT_EQ(Eval("fum.signed"), 1);
        EXPECT_EQ(Eval("fum.error"), 0);
    }
}

TEST_F(KernelImport, SoundsOutsideThePlainPcmLayoutAreRefused)
{
    // 24-bit samples in the extensible layout and 32-bit floating-point samples are not
    // plain PCM; a file that is no RIFF file at all is refused the same way.
    for (const char* file : {"sine_b24esignedinteger.wav", "sine_b32efloatingpoint.wav"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(Script("fum.reset(); fum.newactions = 1; fum.open(" + DataFile(file) + ")"));
        EXPECT_FALSE(Script("fum.wav(Sound)"));
        EXPECT_EQ(Eval("fum.error"), 41);
        EXPECT_EQ(wks->GetColumn(1)->GetEnd(), 0);
    }
}

TEST_F(KernelImport, HandMadeHeadersAcceptedAndRefused)
{
    // An 8-bit mono header of the canonical layout, varied: the format chunk's size, a
    // fact chunk before the data, a zero channel count, a data size beyond the file.
    auto make = [](int formatSize, bool fact, int channels, uint32_t claimed) {
        std::vector<unsigned char> f;
        auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) f.push_back((v >> (8 * i)) & 0xFF); };
        auto put16 = [&](uint16_t v) { f.push_back(v & 0xFF); f.push_back(v >> 8); };
        auto tag = [&](const char* t) { f.insert(f.end(), t, t + 4); };
        tag("RIFF"); put32(0); tag("WAVE"); tag("fmt ");
        put32(formatSize); put16(1); put16(static_cast<uint16_t>(channels)); put32(8000); put32(8000);
        put16(1); put16(8);
        for (int i = 16; i < formatSize; ++i)
            f.push_back(0);
        if (fact) { tag("fact"); put32(4); put32(3); }
        tag("data"); put32(claimed);
        for (int v : {0, 128, 255})
            f.push_back(static_cast<unsigned char>(v));
        return f;
    };
    struct Row {
        std::vector<unsigned char> file;
        bool accepted;
    } rows[] = {
        {make(16, false, 1, 3), true}, {make(18, false, 1, 3), true}, {make(16, true, 1, 3), true},
        {make(22, false, 1, 3), false}, {make(16, false, 0, 3), false}, {make(16, false, 1, 300), false},
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "qxfileio_made_" + std::to_string(GetCurrentProcessId()) + ".wav";
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(n++);
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(row.file.data(), 1, row.file.size(), f);
        fclose(f);
        for (int c = 1; c <= wks->GetNumCols(); ++c)
            wks->GetColumn(c)->SetRange(0, 0);
        ASSERT_TRUE(Script("fum.closeall(); fum.reset(); fum.newactions = 1; fum.open(" + path + ")"));
        EXPECT_EQ(Script("fum.wav(Sound)"), row.accepted);
        if (row.accepted) {
            EXPECT_EQ(wks->GetColumn(2)->GetValue(0), 0);
            EXPECT_EQ(wks->GetColumn(2)->GetValue(1), 128);
            EXPECT_EQ(wks->GetColumn(2)->GetValue(2), 255);
            EXPECT_EQ(wks->GetColumn(1)->GetValue(2), 3 / 8000.0);
        } else {
            EXPECT_EQ(Eval("fum.error"), 41);
        }
    }
    Script("fum.closeall()");
    DeleteFileA(path.c_str());
}

namespace {

// What the script printed, collected while a test runs.
void Collect(const char* text, int, void* user)
{
    static_cast<std::string*>(user)->append(text).append("\n");
}

// A mono WAVE file: format tag, bits and container bytes per sample, an optional chunk
// put before the data, and the sample bytes.
std::vector<unsigned char> MonoWave(int formatTag, int bits, int container, const char* chunkTag,
                                    const std::vector<unsigned char>& chunk, const std::vector<unsigned char>& samples)
{
    std::vector<unsigned char> f;
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) f.push_back((v >> (8 * i)) & 0xFF); };
    auto put16 = [&](uint16_t v) { f.push_back(v & 0xFF); f.push_back(v >> 8); };
    auto tag = [&](const char* t) { f.insert(f.end(), t, t + 4); };
    tag("RIFF"); put32(0); tag("WAVE"); tag("fmt ");
    put32(16); put16(static_cast<uint16_t>(formatTag)); put16(1); put32(1000); put32(1000 * container);
    put16(static_cast<uint16_t>(container)); put16(static_cast<uint16_t>(bits));
    if (chunkTag) {
        tag(chunkTag);
        put32(static_cast<uint32_t>(chunk.size()));
        f.insert(f.end(), chunk.begin(), chunk.end());
        if (chunk.size() % 2)
            f.push_back(0);
    }
    tag("data"); put32(static_cast<uint32_t>(samples.size()));
    f.insert(f.end(), samples.begin(), samples.end());
    return f;
}

std::string TempFile(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "qxfileio_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

void Write(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

} // namespace

// Fact chunks of any size are skipped by their size; widths that are not whole bytes are
// read in their container; 24-bit samples are signed. What the import does not read is
// refused with ERROR 41 and a message naming the reason.
TEST_F(KernelImport, WaveVariantsReadOrRefusedWithTheReason)
{
    std::vector<unsigned char> s16 = {0xFE, 0xFF, 0x2C, 0x01};            // -2, 300
    std::vector<unsigned char> s12 = {0xF0, 0xFF, 0xF0, 0x7F};            // -16, 32752 (left-justified)
    std::vector<unsigned char> s24 = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80};
    struct Case {
        const char* name;
        std::vector<unsigned char> file;
        std::vector<double> samples; // empty: refused
        const char* reason;
    } cases[] = {
        {"fact of 8 bytes", MonoWave(1, 16, 2, "fact", {1, 0, 0, 0, 0, 0, 0, 0}, s16), {-2, 300}, nullptr},
        {"fact of 5 bytes, padded", MonoWave(1, 16, 2, "fact", {1, 0, 0, 0, 9}, s16), {-2, 300}, nullptr},
        {"12-bit in 16", MonoWave(1, 12, 2, nullptr, {}, s12), {-16, 32752}, nullptr},
        {"24-bit signed", MonoWave(1, 24, 3, nullptr, {}, s24), {-1, 8388607, -8388608}, nullptr},
        {"LIST before the data", MonoWave(1, 16, 2, "LIST", {'I', 'N', 'F', 'O'}, s16), {}, "LIST"},
        {"floating point", MonoWave(3, 32, 4, nullptr, {}, {0, 0, 0x80, 0x3F}), {}, "PCM"},
    };
    std::string printed;
    qkfxGetScript().SetOutput(Collect, &printed);
    std::string path = TempFile("variant.wav");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printed.clear();
        Write(path, c.file);
        for (int col = 1; col <= wks->GetNumCols(); ++col)
            wks->GetColumn(col)->SetRange(0, 0);
        ASSERT_TRUE(Script("fum.closeall(); fum.reset(); fum.newactions = 1; fum.open(" + path + ")"));
        bool ok = Script("fum.wav(Sound)");
        if (!c.reason) {
            ASSERT_TRUE(ok) << qkfxGetScript().GetLastError();
            ASSERT_EQ(wks->GetColumn(2)->GetEnd(), static_cast<int>(c.samples.size()));
            for (size_t i = 0; i < c.samples.size(); ++i)
                EXPECT_EQ(wks->GetColumn(2)->GetValue(static_cast<int>(i)), c.samples[i]) << i;
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(Eval("fum.error"), 41);
            EXPECT_NE(printed.find(c.reason), std::string::npos) << printed;
            EXPECT_EQ(wks->GetColumn(2)->GetEnd(), 0);
        }
    }
    qkfxGetScript().SetOutput(nullptr, nullptr);
    Script("fum.closeall()");
    DeleteFileA(path.c_str());
}

// The stop request that Ctrl+C in the console host makes (and Cancel in the progress box)
// ends a long read: what was read stays, and the user is told.
TEST_F(KernelImport, AStopRequestEndsALongReadKeepingWhatWasRead)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += std::to_string(i % 10) + ",";
    std::string path = TempFile("long.txt");
    Write(path, std::vector<unsigned char>(text.begin(), text.end()));
    std::string printed;
    qkfxGetScript().SetOutput(Collect, &printed);
    qkfxRequestAbort(true);
    bool ok = Script("fum.reset(); fum.newactions = 1; fum.open(" + path + "); fum.readarray(Sound_B, 1, 100000)");
    qkfxRequestAbort(false);
    qkfxGetScript().SetOutput(nullptr, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Eval("fum.error"), 46);
    EXPECT_NE(printed.find("stopped by the user"), std::string::npos) << printed;
    int kept = wks->GetColumn(2)->GetEnd();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 100000);
    EXPECT_EQ(wks->GetColumn(2)->GetValue(7), 7);
    Script("fum.closeall()");
    DeleteFileA(path.c_str());
}
