#include "tools/music/TuneRender.h"

#include <libopenmpt/libopenmpt.h>

#include <vector>

namespace Zant::Music {

bool RenderTune(const std::string& moduleBytes, int order, bool once, Dsp::Signal& left, Dsp::Signal& right)
{
    left.clear();
    right.clear();
    openmpt_module* mod = openmpt_module_create_from_memory2(moduleBytes.data(), moduleBytes.size(), nullptr, nullptr,
                                                             nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!mod) return false;
    openmpt_module_set_repeat_count(mod, once ? 0 : -1);
    openmpt_module_set_position_order_row(mod, order, 0);
    std::vector<float> stereo(2 * 1024);
    int wraps = 0;
    int lastOrder = order;
    while (left.size() < static_cast<size_t>(Dsp::kRate) * 150) {
        const size_t n = openmpt_module_read_interleaved_float_stereo(mod, Dsp::kRate, 1024, stereo.data());
        if (n == 0) break;
        for (size_t i = 0; i < n; ++i) {
            left.push_back(stereo[2 * i]);
            right.push_back(stereo[2 * i + 1]);
        }
        const int now = openmpt_module_get_current_order(mod);
        if (now < lastOrder && ++wraps == 2) break;
        lastOrder = now;
    }
    openmpt_module_destroy(mod);
    return true;
}

} // namespace Zant::Music
