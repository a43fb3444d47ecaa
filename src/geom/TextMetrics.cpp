#include "geom/TextMetrics.h"

namespace {

// Every character advances its width.
class FixedPitch : public TextMetrics {
public:
    TextExtent measure(int w, int h, int s, int g, unsigned, std::string_view text) const override {
        return measureTextLines(w, h, s, g, text, [w](unsigned char) { return w; });
    }
};

const FixedPitch kFixedPitch;
const TextMetrics* installed = nullptr;

}  // namespace

const TextMetrics& textMetrics() {
    return installed != nullptr ? *installed : kFixedPitch;
}

void setTextMetrics(const TextMetrics* metrics) {
    installed = metrics;
}
