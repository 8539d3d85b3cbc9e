// Sound file readers and the cached WAV copies of decoded sounds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/SoundDecoders.h"
#include "platform/audio/FileTime.h"
#include "tests/audio/AudioFixtures.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using AudioFixtures::MakeAu;
using AudioFixtures::MakeWav;
namespace fs = std::filesystem;

namespace {

bool Wav(const std::string& file, DecodedSound& out, SoundDependency* dep = nullptr)
{
    std::string error;
    return ParseWav(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out, dep, error);
}

bool Au(const std::string& file, DecodedSound& out)
{
    std::string error;
    return ParseAu(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out, error);
}

std::string Chunk(const std::string& id, const std::string& body)
{
    std::string s = id;
    uint32_t n = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((n >> (8 * i)) & 0xFF);
    return s + body + (n & 1 ? std::string(1, '\0') : "");
}

std::string ToneOgg() { return TestSupport::ReadFile(std::string(AUDIO_TEST_DATA) + "/tone.ogg"); }

void Touch(const std::string& path, std::chrono::seconds delta)
{
    fs::last_write_time(path, fs::last_write_time(path) + delta);
}

} // namespace

TEST(WavReaderTest, ReadsPcmAndSkipsUnknownChunks)
{
    DecodedSound s;
    std::string pcm = AudioFixtures::Sine16(10, 22050, 440, 1000);
    ASSERT_TRUE(Wav(MakeWav(1, 22050, 16, pcm, Chunk("LIST", "INFOabcde") + Chunk("fact", "1234")), s));
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.rate, 22050u);
    EXPECT_EQ(s.bits, 16);
    EXPECT_EQ(std::string(s.pcm.begin(), s.pcm.end()), pcm);

    ASSERT_TRUE(Wav(MakeWav(2, 8000, 8, "abcd"), s));
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.bits, 8);
}

TEST(WavReaderTest, RefusesBadOrLyingFiles)
{
    const std::string pcm(40, '\x10');
    const std::string good = MakeWav(1, 22050, 16, pcm);
    std::string truncated = good.substr(0, good.size() - 1);
    std::string noData = good.substr(0, 36);
    std::string notRiff = good;
    notRiff[0] = 'X';
    const std::pair<const char*, std::string> cases[] = {
        {"float format", MakeWav(1, 22050, 32, pcm, "", 3)},
        {"no channels", MakeWav(0, 22050, 16, pcm)},
        {"three channels", MakeWav(3, 22050, 16, pcm)},
        {"24 bits", MakeWav(1, 22050, 24, pcm)},
        {"rate 0", MakeWav(1, 0, 16, pcm)},
        {"rate too high", MakeWav(1, 500000, 16, pcm)},
        {"empty data", MakeWav(1, 22050, 16, "")},
        {"data past the end", truncated},
        {"no data chunk", noData},
        {"not RIFF", notRiff},
        {"short", "RIFF"},
        {"chunk size past the end", std::string("RIFF\0\0\0\0WAVEfmt \xFF\xFF\xFF\xFF", 20)},
    };
    for (const auto& [what, file] : cases) {
        DecodedSound s;
        EXPECT_FALSE(Wav(file, s)) << what;
    }
}

TEST(AuReaderTest, MuLawDecodesWithTheLoudestCodeAtFullScale)
{
    const std::pair<uint8_t, int16_t> table[] = {{0xFF, 0},   {0x7F, 0},       {0xF0, 120},   {0x70, -120},
                                                 {0xA0, 7808}, {0x81, 30592}, {0x80, 31616}, {0x00, -31616}};
    for (auto [code, sample] : table)
        EXPECT_EQ(MuLawToLinear(code), sample) << std::hex << int(code);

    DecodedSound s;
    ASSERT_TRUE(Au(MakeAu(1, 8000, 1, std::string("\xA0\x70", 2)), s));
    EXPECT_EQ(s.bits, 16);
    ASSERT_EQ(s.pcm.size(), 4u);
    EXPECT_EQ(static_cast<int16_t>(s.pcm[0] | (s.pcm[1] << 8)), 7808);
    EXPECT_EQ(static_cast<int16_t>(s.pcm[2] | (s.pcm[3] << 8)), -120);
}

TEST(AuReaderTest, SignedLinearBytesBecomeUnsigned)
{
    DecodedSound s;
    ASSERT_TRUE(Au(MakeAu(2, 11025, 2, std::string("\x00\x7F\x80\xFF", 4)), s));
    EXPECT_EQ(s.bits, 8);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(std::vector<uint8_t>(s.pcm.begin(), s.pcm.end()), (std::vector<uint8_t>{0x80, 0xFF, 0x00, 0x7F}));
}

TEST(AuReaderTest, UnknownSizeMeansTheRestAndLiesFail)
{
    DecodedSound s;
    ASSERT_TRUE(Au(MakeAu(2, 8000, 1, "abc", 0xFFFFFFFFu), s));
    EXPECT_EQ(s.pcm.size(), 3u);
    EXPECT_FALSE(Au(MakeAu(2, 8000, 1, "abc", 4), s));
    EXPECT_FALSE(Au(MakeAu(3, 8000, 1, "abcd"), s)); // 16-bit linear is not read
    EXPECT_FALSE(Au(MakeAu(1, 8000, 0, "abcd"), s));
    std::string badOffset = MakeAu(1, 8000, 1, "abcd");
    badOffset[7] = 100;
    EXPECT_FALSE(Au(badOffset, s));
}

TEST(OggDecoderTest, DecodesTheWholeStreamAndRefusesDamage)
{
    std::string ogg = ToneOgg();
    DecodedSound s;
    std::string error;
    ASSERT_TRUE(DecodeOgg(reinterpret_cast<const uint8_t*>(ogg.data()), ogg.size(), s, error)) << error;
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.rate, 22050u);
    EXPECT_EQ(s.pcm.size(), 5512u * 2);
    // A 440 Hz tone at half scale.
    std::vector<int16_t> stereo;
    for (size_t i = 0; i + 1 < s.pcm.size(); i += 2) {
        int16_t v = static_cast<int16_t>(s.pcm[i] | (s.pcm[i + 1] << 8));
        stereo.push_back(v);
        stereo.push_back(v);
    }
    EXPECT_NEAR(AudioFixtures::ToneLevel(stereo.data(), stereo.size() / 2, 0, 440, 22050), 16384, 1500);

    std::string cut = ogg.substr(0, ogg.size() / 2);
    EXPECT_FALSE(DecodeOgg(reinterpret_cast<const uint8_t*>(cut.data()), cut.size(), s, error));
    EXPECT_FALSE(DecodeOgg(reinterpret_cast<const uint8_t*>("OggS"), 4, s, error));
}

TEST(CachedWavTest, NamesKeepTheFolder)
{
    EXPECT_EQ(CachedSoundName("sounds\\eerie1"), "sounds\\cached_eerie1.wav");
    EXPECT_EQ(CachedSoundName("a/b\\c"), "a/b\\cached_c.wav");
    EXPECT_EQ(CachedSoundName("x/y/z"), "x/y/cached_z.wav");
    EXPECT_EQ(CachedSoundName("eerie1"), "cached_eerie1.wav");
}

TEST(CachedWavTest, LayoutIsByteExactWithSizesThatAddUp)
{
    DecodedSound s;
    s.channels = 2;
    s.rate = 22050;
    s.bits = 8;
    s.pcm = {1, 2, 3}; // odd length: padded
    SoundDependency dep{true, "snd\\a.ogg", 0x0102030405060708ULL}; // odd name length: padded
    std::string file = BuildCachedWav(s, &dep);
    const std::string expected = std::string("RIFF\x44\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x08\0", 36) +
                                 std::string("dep \x13\0\0\0\x09\0snd\\a.ogg\x08\x07\x06\x05\x04\x03\x02\x01\0", 28) +
                                 std::string("data\x03\0\0\0\x01\x02\x03\0", 12);
    EXPECT_EQ(file, expected);
    EXPECT_EQ(file.size(), 8u + 0x44);

    DecodedSound back;
    SoundDependency readDep;
    ASSERT_TRUE(Wav(file, back, &readDep));
    EXPECT_EQ(back.pcm, s.pcm);
    EXPECT_EQ(readDep.name, dep.name);
    EXPECT_EQ(readDep.fileTime, dep.fileTime);
}

class SoundCacheTest : public testing::Test {
protected:
    void SetUp() override { TestSupport::WriteFile(dir.File("tone.ogg"), ToneOgg()); }
    std::unique_ptr<DSoundManager> Manager() { return std::make_unique<DSoundManager>(std::make_unique<Platform::OfflineAudioDevice>()); }
    std::string Name() const { return dir.File("tone"); }
    std::string Cached() const { return dir.File("cached_tone.wav"); }

    TestSupport::TempDir dir;
};

TEST_F(SoundCacheTest, DecodeWritesACopyRecordingTheSourceAndItsTime)
{
    auto m = Manager();
    ASSERT_TRUE(m->LoadSoundFile(0, Name()));
    DecodedSound copy;
    SoundDependency dep;
    ASSERT_TRUE(Wav(TestSupport::ReadFile(Cached()), copy, &dep));
    EXPECT_EQ(dep.name, Name() + ".ogg");
    EXPECT_EQ(dep.fileTime, Platform::FileWriteTime(Name() + ".ogg"));
    EXPECT_NE(dep.fileTime, 0u);
    const Platform::PcmBytes& kept = m->GetSoundData(0)->bytes;
    EXPECT_EQ(copy.pcm, std::vector<uint8_t>(kept.begin(), kept.end()));
    EXPECT_EQ(copy.pcm.size(), 5512u * 2);
}

TEST_F(SoundCacheTest, AFreshCopyIsUsedWithoutDecoding)
{
    ASSERT_TRUE(Manager()->LoadSoundFile(0, Name()));
    // Spoil the source but keep its time: only the copy can still load.
    auto time = fs::last_write_time(Name() + ".ogg");
    TestSupport::WriteFile(Name() + ".ogg", "garbage");
    fs::last_write_time(Name() + ".ogg", time);
    auto m = Manager();
    ASSERT_TRUE(m->LoadSoundFile(0, Name()));
    EXPECT_EQ(m->GetSoundData(0)->bytes.size(), 5512u * 2);
}

TEST_F(SoundCacheTest, AStaleOrShortCopyIsReplaced)
{
    ASSERT_TRUE(Manager()->LoadSoundFile(0, Name()));
    const std::string first = TestSupport::ReadFile(Cached());

    Touch(Name() + ".ogg", std::chrono::seconds(1));
    ASSERT_TRUE(Manager()->LoadSoundFile(0, Name()));
    SoundDependency dep;
    DecodedSound copy;
    ASSERT_TRUE(Wav(TestSupport::ReadFile(Cached()), copy, &dep));
    EXPECT_EQ(dep.fileTime, Platform::FileWriteTime(Name() + ".ogg"));

    // A copy cut short (a crash mid-write elsewhere) is not trusted.
    TestSupport::WriteFile(Cached(), first.substr(0, first.size() - 100));
    ASSERT_TRUE(Manager()->LoadSoundFile(0, Name()));
    EXPECT_EQ(TestSupport::ReadFile(Cached()).size(), first.size());
}

TEST_F(SoundCacheTest, ACopyWhoseSourceIsGoneIsRefused)
{
    ASSERT_TRUE(Manager()->LoadSoundFile(0, Name()));
    fs::remove(Name() + ".ogg");
    EXPECT_FALSE(Manager()->LoadSoundFile(0, Name()));
}

TEST_F(SoundCacheTest, PlainWavComesBeforeDecodingAndAuDecodesLast)
{
    TestSupport::WriteFile(dir.File("b.wav"), MakeWav(1, 8000, 8, "xyz"));
    TestSupport::WriteFile(dir.File("b.au"), MakeAu(2, 8000, 1, "abcdef"));
    TestSupport::WriteFile(dir.File("c.au"), MakeAu(2, 8000, 1, "abcdef"));
    auto m = Manager();
    ASSERT_TRUE(m->LoadSoundFile(1, dir.File("b")));
    EXPECT_EQ(m->GetSoundData(1)->bytes.size(), 3u);
    EXPECT_FALSE(fs::exists(dir.File("cached_b.wav"))); // plain WAV needs no copy
    ASSERT_TRUE(m->LoadSoundFile(2, dir.File("c")));
    EXPECT_EQ(m->GetSoundData(2)->bytes.size(), 6u);
    EXPECT_TRUE(fs::exists(dir.File("cached_c.wav")));
    EXPECT_FALSE(m->LoadSoundFile(3, dir.File("nothing")));
}

// A sound that cannot be loaded says which file and what is wrong with it, so the
// game's loader can show it; a damaged cached copy is no fault of the sound's.
TEST(SoundLoadErrors, TheReasonNamesTheFileAndTheProblem)
{
    TestSupport::TempDir dir;
    const std::string wav = MakeWav(1, 22050, 16, std::string(400, '\x10'));
    std::string cut = wav.substr(0, wav.size() - 100); // the data chunk runs past the end
    TestSupport::WriteFile(dir.File("cut.wav"), cut);
    TestSupport::WriteFile(dir.File("junk.au"), "not a sound at all");
    TestSupport::WriteFile(dir.File("good.wav"), wav);
    TestSupport::WriteFile(dir.File("cached_good.wav"), "a damaged copy");
    struct {
        const char* name;
        bool ok;
        std::string error;
    } cases[] = {
        {"cut", false, dir.File("cut.wav") + ": data chunk runs past the end of the file"},
        {"junk", false, dir.File("junk.au") + ": "},
        {"missing", false, dir.File("missing") + ": no sound file (.wav, .ogg or .au) found"},
        {"good", true, ""},
    };
    DSoundManager manager(std::make_unique<Platform::OfflineAudioDevice>());
    for (const auto& c : cases) {
        std::string error = "left over";
        EXPECT_EQ(manager.LoadSoundFile(1, dir.File(c.name), error), c.ok) << c.name;
        if (c.ok)
            EXPECT_EQ(error, "") << c.name;
        else
            EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.name << ": " << error;
    }
    EXPECT_FALSE(manager.LoadSoundFile(1, dir.File("cut"))) << "the old form still answers";
}
