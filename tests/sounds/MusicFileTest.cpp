// The music module as the game uses it: libopenmpt opens it, each order
// position the game jumps to starts an audible tune, looping tunes stay in
// their own section and one-shot tunes end.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <memory>
#include <vector>

#include "WavReader.h"
#include "tests/support/TestSupport.h"

namespace {

struct Tune {
    int order;      // where the game jumps
    int end;        // first order of the next tune
    bool once;      // played once, then the song ends
};

const Tune kTunes[] = {{0, 17, false},  {17, 20, false}, {20, 30, false}, {30, 34, false}, {34, 37, false},
                       {37, 43, false}, {43, 46, true},  {46, 48, true},  {48, 256, false}};

using Module = std::unique_ptr<openmpt_module, decltype(&openmpt_module_destroy)>;

Module Open(const std::string& bytes)
{
    return Module(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr),
                  &openmpt_module_destroy);
}

class MusicFile : public ::testing::Test {
protected:
    void SetUp() override { mBytes = TestSupport::ReadFile(TestSupport::GameDir() + "/music/Brinetun.mo3"); }
    std::string mBytes;
};

} // namespace

TEST_F(MusicFile, OpensAsALightModuleWithEveryPosition)
{
    Module m = Open(mBytes);
    ASSERT_TRUE(m) << "libopenmpt cannot read the module";
    EXPECT_GE(openmpt_module_get_num_orders(m.get()), 49);
    // Two instances play at once while the game cross-fades.
    EXPECT_LE(openmpt_module_get_num_channels(m.get()), 12);
}

TEST_F(MusicFile, EachPositionPlaysItsOwnTune)
{
    for (const Tune& t : kTunes) {
        SCOPED_TRACE(t.order);
        Module m = Open(mBytes);
        ASSERT_TRUE(m);
        openmpt_module_set_repeat_count(m.get(), t.once ? 0 : -1);
        openmpt_module_set_position_order_row(m.get(), t.order, 0);
        ASSERT_EQ(openmpt_module_get_current_order(m.get()), t.order);

        std::vector<float> frame(2 * 1024);
        std::vector<double> first;           // the first 8 s, left channel
        std::vector<double> mid, side;       // the first 30 s
        std::vector<double> tail;            // everything, mid signal (one-shot tunes)
        double peak = 0.0, seconds = 0.0;
        int lastOrder = t.order;
        bool wrapped = false, ended = false;
        while (seconds < 150.0) {
            const size_t n = openmpt_module_read_interleaved_float_stereo(m.get(), 44100, 1024, frame.data());
            if (n == 0) {
                ended = true;
                break;
            }
            seconds += n / 44100.0;
            for (size_t i = 0; i < 2 * n; ++i) peak = std::max(peak, static_cast<double>(std::fabs(frame[i])));
            for (size_t i = 0; i < n && first.size() < 8 * 44100; ++i) first.push_back(frame[2 * i]);
            for (size_t i = 0; i < n && mid.size() < 30 * 44100; ++i) {
                mid.push_back(0.5 * (frame[2 * i] + frame[2 * i + 1]));
                side.push_back(0.5 * (frame[2 * i] - frame[2 * i + 1]));
            }
            if (t.once)
                for (size_t i = 0; i < n; ++i) tail.push_back(0.5 * (frame[2 * i] + frame[2 * i + 1]));
            const int order = openmpt_module_get_current_order(m.get());
            // Past a one-shot tune's end marker the position reads as order 0
            // while the last notes ring out; nothing new is played there.
            if (t.once && order < lastOrder) wrapped = true;
            if (!(t.once && wrapped)) {
                EXPECT_GE(order, t.order);
                EXPECT_LT(order, t.end);
            }
            if (order < lastOrder) wrapped = true;
            if (!wrapped) lastOrder = order;
            if (!t.once && wrapped && seconds > 10.0) break;
        }
        EXPECT_GT(SoundCheck::Db(SoundCheck::Rms(first)), -35.0) << "tune is not audible";
        EXPECT_LT(peak, 0.99) << "tune clips at full volume";
        // Voices spread across the stereo field, none hard to one side.
        const double width = SoundCheck::Db(SoundCheck::Rms(side)) - SoundCheck::Db(SoundCheck::Rms(mid));
        EXPECT_GT(width, -25.0) << "tune is (nearly) mono";
        EXPECT_LT(width, -4.0) << "tune is lopsided or out of phase";
        if (t.once) {
            // The ending is a fade: over the last 300 ms before silence (60 dB
            // under the peak) the level falls a long way; a cut ending stays loud to the last.
            const size_t w = 44100 / 20, fall = 44100 * 3 / 10;
            size_t end = tail.size();
            while (end > 0 && std::fabs(tail[end - 1]) < peak * 1e-3) --end;
            ASSERT_GT(end, fall + w);
            const double before = SoundCheck::Db(SoundCheck::Rms(tail, end - fall - w, w));
            const double last = SoundCheck::Db(SoundCheck::Rms(tail, end - w, w));
            EXPECT_GT(before, SoundCheck::Db(SoundCheck::LoudestWindow(tail, w)) - 40.0) << "tune is silent before its end";
            EXPECT_GT(before - last, 15.0) << "tune stops, not fades";
        }
        if (t.once) {
            EXPECT_TRUE(ended) << "one-shot tune does not end";
            EXPECT_GT(seconds, 2.0);
        } else {
            EXPECT_TRUE(wrapped) << "tune does not loop back within its section";
        }
    }
}
