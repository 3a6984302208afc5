#include "engine/core/GrayImage.h"

#include <algorithm>
#include <cmath>

namespace quorlix {

GrayImage grayOf(const ImageBuffer& image) {
    GrayImage out;
    if (image.empty() || image.channels < 1)
        return out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.resize(std::size_t(image.width) * image.height);
    const std::size_t count = out.pixels.size();
    const std::uint8_t* p = image.pixels.data();
    const int c = image.channels;
    if (image.pixels.size() < count * c)
        return {};
    for (std::size_t i = 0; i < count; ++i, p += c) {
        if (c < 3)
            out.pixels[i] = p[0];
        else // fixed point 0.299, 0.587, 0.114, rounded
            out.pixels[i] =
                std::uint8_t((19595u * p[0] + 38470u * p[1] + 7471u * p[2] + 32768u) >> 16);
    }
    return out;
}

namespace {

// For one axis: which source pixels feed each destination pixel, and with what weight.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spans(double start, double length, int sourceSize, int size) {
    std::vector<Span> out(size);
    const double step = length / size;
    for (int d = 0; d < size; ++d) {
        const double a = start + d * step;
        const double b = a + step;
        const int first = std::clamp(int(std::floor(a)), 0, sourceSize - 1);
        const int last = std::clamp(int(std::ceil(b)) - 1, first, sourceSize - 1);
        Span& s = out[d];
        s.first = first;
        double total = 0;
        for (int i = first; i <= last; ++i) {
            const double w = std::max(0.0, std::min(b, i + 1.0) - std::max(a, double(i)));
            s.weights.push_back(float(w));
            total += w;
        }
        if (total <= 0) { // a span outside the source after clamping: take its nearest pixel
            s.weights.assign(1, 1.0f);
            total = 1;
        }
        for (float& w : s.weights)
            w = float(w / total);
    }
    return out;
}

} // namespace

GrayImage resampled(const GrayImage& source, double x, double y, double w, double h, int width,
                    int height) {
    GrayImage out;
    if (width < 1 || height < 1 || source.width < 1 || source.height < 1)
        return out;
    x = std::clamp(x, 0.0, double(source.width));
    y = std::clamp(y, 0.0, double(source.height));
    w = std::clamp(w, 0.0, source.width - x);
    h = std::clamp(h, 0.0, source.height - y);
    if (w <= 0 || h <= 0)
        return out;
    const auto sx = spans(x, w, source.width, width);
    const auto sy = spans(y, h, source.height, height);
    // Rows first, into floats, then columns.
    const int rowFirst = sy.front().first;
    const int rowLast = sy.back().first + int(sy.back().weights.size()) - 1;
    std::vector<float> rows(std::size_t(rowLast - rowFirst + 1) * width);
    for (int r = rowFirst; r <= rowLast; ++r) {
        const std::uint8_t* src = source.pixels.data() + std::size_t(r) * source.width;
        float* dst = rows.data() + std::size_t(r - rowFirst) * width;
        for (int d = 0; d < width; ++d) {
            float v = 0;
            for (std::size_t k = 0; k < sx[d].weights.size(); ++k)
                v += sx[d].weights[k] * src[sx[d].first + k];
            dst[d] = v;
        }
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(std::size_t(width) * height);
    std::vector<float> acc(width);
    for (int d = 0; d < height; ++d) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (std::size_t k = 0; k < sy[d].weights.size(); ++k) {
            const float wgt = sy[d].weights[k];
            const float* src = rows.data() + std::size_t(sy[d].first + k - rowFirst) * width;
            for (int c = 0; c < width; ++c)
                acc[c] += wgt * src[c];
        }
        std::uint8_t* dst = out.pixels.data() + std::size_t(d) * width;
        for (int c = 0; c < width; ++c)
            dst[c] = std::uint8_t(std::clamp(std::lround(acc[c]), 0l, 255l));
    }
    return out;
}

GrayImage resampled(const GrayImage& source, int width, int height) {
    return resampled(source, 0, 0, source.width, source.height, width, height);
}

double laplacianVariance(const std::uint8_t* p, int width, int height) {
    if (width < 3 || height < 3)
        return 0;
    double sum = 0, squares = 0;
    for (int y = 1; y < height - 1; ++y) {
        const std::uint8_t* row = p + std::size_t(y) * width;
        for (int x = 1; x < width - 1; ++x) {
            const int l = 4 * row[x] - row[x - 1] - row[x + 1] - row[x - width] - row[x + width];
            sum += double(l);
            squares += double(l) * double(l);
        }
    }
    const double n = double(width - 2) * double(height - 2);
    const double mean = sum / n;
    return std::max(0.0, squares / n - mean * mean);
}

} // namespace quorlix
