#include "core/FormSize.h"

namespace kalvex::core {

ClientSize FormClientSize(int index) {
    static constexpr std::array<ClientSize, 8> kSizes = {{{628, 480},
                                                          {668, 510},
                                                          {748, 570},
                                                          {778, 630},
                                                          {828, 630},
                                                          {828, 670},
                                                          {988, 798},
                                                          {1052, 798}}};
    if (index < 0 || index >= static_cast<int>(kSizes.size())) return {639, 321};
    return kSizes[static_cast<std::size_t>(index)];
}

}  // namespace kalvex::core
