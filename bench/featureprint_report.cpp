// Measures how well the feature print separates bursts from other scenes at the look-alike
// threshold, set by set, from the manifest written by featureprint_bursts.
//
//   featureprint_report MANIFEST [--calibrate SET[,SET...]] [--sweep] [--worst N]
//                       [--thumbnails CACHE_FILE]
//
// For each set: pairwise precision and recall at the threshold and around it, percentiles and
// histograms of burst-pair and other-scene similarities, and the set's own best operating point
// expressed as the constant component that would put it at the threshold. --calibrate derives
// the constant from the named development set(s); --sweep also tries other block weights.

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/QuorlixFeature.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace quorlix;

namespace {

struct Item {
    std::string set, scene, content, file;
    int frame = -1, positiveGap = 0, negativeGap = 0;
    FeaturePrint::Blocks blocks;
    std::array<double, FeaturePrint::blockCount> norm2{}; // each block's squared length
    std::vector<float> print;
};

// Per pair: block dot products, so any weights and constant can be scored without the images.
struct Pair {
    bool positive;
    std::size_t a, b;
    std::array<double, FeaturePrint::blockCount> dot;
};

std::vector<Item> readManifest(const std::string& path) {
    std::ifstream in(path);
    std::vector<Item> items;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream row(line);
        Item it;
        std::string frame, pos, neg;
        std::getline(row, it.set, '\t');
        std::getline(row, it.scene, '\t');
        std::getline(row, it.content, '\t');
        std::getline(row, frame, '\t');
        std::getline(row, pos, '\t');
        std::getline(row, neg, '\t');
        std::getline(row, it.file, '\t');
        if (it.file.empty())
            continue;
        it.frame = std::stoi(frame);
        it.positiveGap = std::stoi(pos);
        it.negativeGap = std::stoi(neg);
        items.push_back(std::move(it));
    }
    return items;
}

// 1 burst pair, 0 other scenes, -1 not judged (same content seen as another scene, or frames of
// one sequence neither close nor far apart).
int label(const Item& a, const Item& b) {
    if (a.scene != b.scene)
        return a.content == b.content ? -1 : 0;
    if (a.frame < 0)
        return 1;
    const int gap = std::abs(a.frame - b.frame);
    if (gap <= a.positiveGap)
        return 1;
    if (a.negativeGap > 0 && gap >= a.negativeGap)
        return 0;
    return -1;
}

double dot(const std::vector<float>& a, const std::vector<float>& b) {
    double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        s += double(a[i]) * b[i];
    return s;
}

std::array<const std::vector<float>*, FeaturePrint::blockCount> parts(const Item& it) {
    return {&it.blocks.luminance, &it.blocks.chroma, &it.blocks.orientation, &it.blocks.coarse};
}

double similarity(const Pair& p, const std::vector<Item>& items, const FeaturePrint::Weights& w) {
    double num = 0, na = 0, nb = 0, full = 0;
    for (std::size_t k = 0; k < FeaturePrint::blockCount; ++k) {
        const double w2 = double(w.block[k]) * w.block[k];
        num += w2 * p.dot[k];
        na += w2 * items[p.a].norm2[k];
        nb += w2 * items[p.b].norm2[k];
        full += w2;
    }
    if (na <= 0 || nb <= 0)
        return 0;
    const double raw = num / std::sqrt(na * nb), c2 = double(w.constant) * w.constant;
    return (raw * full + c2) / (full + c2);
}

struct Rates {
    double precision, recall;
    long tp, fp, fn;
};

Rates rates(const std::vector<double>& pos, const std::vector<double>& neg, double t) {
    Rates r{};
    for (double s : pos)
        (s >= t ? r.tp : r.fn)++;
    for (double s : neg)
        if (s >= t)
            r.fp++;
    r.precision = r.tp + r.fp ? double(r.tp) / double(r.tp + r.fp) : 1.0;
    r.recall = pos.empty() ? 1.0 : double(r.tp) / double(pos.size());
    return r;
}

double percentile(std::vector<double> v, double q) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const double pos = q * double(v.size() - 1);
    const std::size_t i = std::size_t(pos);
    const double f = pos - double(i);
    return i + 1 < v.size() ? v[i] * (1 - f) + v[i + 1] * f : v[i];
}

// The best operating point of a score list: the threshold with the highest F-score weighting
// precision twice as much as recall (a wrong link costs the user a photo), placed midway between
// the scores on either side of it.
struct Operating {
    double threshold, precision, recall, f;
};

Operating bestOperating(const std::vector<double>& pos, const std::vector<double>& neg) {
    std::vector<std::pair<double, int>> all;
    for (double s : pos)
        all.emplace_back(s, 1);
    for (double s : neg)
        all.emplace_back(s, 0);
    std::sort(all.begin(), all.end(), [](auto& x, auto& y) { return x.first > y.first; });
    constexpr double beta2 = 0.25; // F-0.5
    Operating best{1.0, 1.0, 0.0, 0.0};
    long tp = 0, fp = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        (all[i].second ? tp : fp)++;
        if (i + 1 < all.size() && all[i + 1].first == all[i].first)
            continue;
        const double p = double(tp) / double(tp + fp), r = double(tp) / double(pos.size());
        const double f = p + r > 0 ? (1 + beta2) * p * r / (beta2 * p + r) : 0;
        if (f > best.f) {
            const double next = i + 1 < all.size() ? all[i + 1].first : all[i].first - 0.01;
            best = {0.5 * (all[i].first + next), p, r, f};
        }
    }
    return best;
}

// The constant that moves raw threshold t (similarity with constant 0) to the look-alike
// threshold T: (t*S + c^2) / (S + c^2) = T, with S the weights' sum of squares.
double constantFor(double rawThreshold, const FeaturePrint::Weights& w, double target) {
    double s = 0;
    for (float b : w.block)
        s += double(b) * b;
    const double c2 = s * (target - rawThreshold) / (1.0 - target);
    return c2 > 0 ? std::sqrt(c2) : 0.0;
}

std::vector<Pair> pairsOf(const std::vector<Item>& items, const std::set<std::string>& sets) {
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!sets.count(items[i].set))
            continue;
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            if (items[j].set != items[i].set)
                continue;
            const int l = label(items[i], items[j]);
            if (l < 0)
                continue;
            Pair p{l == 1, i, j, {}};
            const auto pa = parts(items[i]), pb = parts(items[j]);
            for (std::size_t k = 0; k < FeaturePrint::blockCount; ++k)
                p.dot[k] = dot(*pa[k], *pb[k]);
            pairs.push_back(p);
        }
    }
    return pairs;
}

void split(const std::vector<Pair>& pairs, const std::vector<Item>& items,
           const FeaturePrint::Weights& w, std::vector<double>& pos, std::vector<double>& neg);

// The constant that serves the calibration sets best at the look-alike threshold: the mean of
// their F0.5 scores at the threshold, each set counted once whatever its size.
struct Calibration {
    double constant, meanF;
    double from = 0, to = 0; // the plateau of equally good constants
};

double fHalf(const Rates& r) {
    const double p = r.precision, q = r.recall;
    return p + q > 0 ? 1.25 * p * q / (0.25 * p + q) : 0;
}

Calibration calibrate(const std::vector<std::vector<Pair>>& sets, const std::vector<Item>& items,
                      FeaturePrint::Weights w) {
    std::vector<std::vector<double>> pos(sets.size()), neg(sets.size());
    w.constant = 0;
    for (std::size_t i = 0; i < sets.size(); ++i)
        split(sets[i], items, w, pos[i], neg[i]);
    double full = 0;
    for (float b : w.block)
        full += double(b) * b;
    // Where several constants score the same, take the middle of that plateau: the margin on
    // both sides is what the held-out sets draw on.
    Calibration best{0, -1};
    int plateauBegin = 0, plateauEnd = 0;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        std::sort(pos[i].begin(), pos[i].end());
        std::sort(neg[i].begin(), neg[i].end());
    }
    for (int step = 0; step <= 500; ++step) {
        const double c = step * 0.01, c2 = c * c;
        // Same mapping as the product applies, in the same 32-bit comparison; it rises with the
        // raw similarity, so the pairs at or above the threshold are a suffix of each sorted list.
        const auto below = [&](double raw) {
            return float((raw * full + c2) / (full + c2)) < QuorlixFeature::nearThreshold;
        };
        double sum = 0;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            Rates r{};
            r.tp = long(pos[i].end() - std::partition_point(pos[i].begin(), pos[i].end(), below));
            r.fn = long(pos[i].size()) - r.tp;
            r.fp = long(neg[i].end() - std::partition_point(neg[i].begin(), neg[i].end(), below));
            r.precision = r.tp + r.fp ? double(r.tp) / double(r.tp + r.fp) : 1.0;
            r.recall = pos[i].empty() ? 1.0 : double(r.tp) / double(pos[i].size());
            sum += fHalf(r);
        }
        const double meanF = sum / double(sets.size());
        if (meanF > best.meanF + 1e-12) {
            best = {c, meanF};
            plateauBegin = plateauEnd = step;
        } else if (meanF >= best.meanF - 1e-12 && plateauEnd == step - 1) {
            plateauEnd = step;
        }
    }
    best.constant = 0.01 * ((plateauBegin + plateauEnd) / 2);
    best.from = 0.01 * plateauBegin;
    best.to = 0.01 * plateauEnd;
    return best;
}

void split(const std::vector<Pair>& pairs, const std::vector<Item>& items,
           const FeaturePrint::Weights& w, std::vector<double>& pos, std::vector<double>& neg) {
    pos.clear();
    neg.clear();
    for (const auto& p : pairs)
        (p.positive ? pos : neg).push_back(similarity(p, items, w));
}

void printDistribution(const char* name, const std::vector<double>& v) {
    std::printf("  %-9s n=%-6zu min %.3f  p1 %.3f  p5 %.3f  p10 %.3f  p25 %.3f  p50 %.3f  p75 %.3f"
                "  p90 %.3f  p95 %.3f  p99 %.3f  max %.3f\n",
                name, v.size(), percentile(v, 0), percentile(v, 0.01), percentile(v, 0.05),
                percentile(v, 0.10), percentile(v, 0.25), percentile(v, 0.5), percentile(v, 0.75),
                percentile(v, 0.90), percentile(v, 0.95), percentile(v, 0.99), percentile(v, 1));
}

void printHistogram(const std::vector<double>& pos, const std::vector<double>& neg) {
    const std::vector<double> edges = {-1.0, 0.5,  0.6,  0.7,  0.8,  0.85, 0.88, 0.90, 0.91,
                                       0.92, 0.93, 0.94, 0.95, 0.96, 0.97, 0.98, 0.99, 1.0001};
    std::printf("  histogram      bursts  other scenes\n");
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        long np = 0, nn = 0;
        for (double s : pos)
            np += s >= edges[i] && s < edges[i + 1];
        for (double s : neg)
            nn += s >= edges[i] && s < edges[i + 1];
        if (i == 0)
            std::printf("  [   <  0.50)  %7ld  %7ld\n", np, nn);
        else
            std::printf("  [%.2f, %.2f)  %7ld  %7ld\n", edges[i], std::min(edges[i + 1], 1.0), np,
                        nn);
    }
}

void report(const std::string& name, const std::vector<Pair>& pairs, const std::vector<Item>& items,
            const FeaturePrint::Weights& w) {
    std::vector<double> pos, neg;
    split(pairs, items, w, pos, neg);
    std::size_t images = 0;
    std::set<std::string> scenes;
    for (const auto& it : items)
        if (it.set == name) {
            ++images;
            scenes.insert(it.scene);
        }
    std::printf("\n== set %s: %zu images, %zu scenes, %zu burst pairs, %zu other-scene pairs\n",
                name.c_str(), images, scenes.size(), pos.size(), neg.size());
    printDistribution("bursts", pos);
    printDistribution("others", neg);
    printHistogram(pos, neg);
    std::printf("  threshold  precision  recall   (false links, missed links)\n");
    for (double t : {0.90, 0.92, 0.93, 0.94, 0.95, 0.96}) {
        const Rates r = rates(pos, neg, float(t));
        std::printf("  %s%.2f     %.4f     %.4f   (%ld, %ld)\n", t == 0.94 ? "*" : " ", t,
                    r.precision, r.recall, r.fp, r.fn);
    }
    // The vectors the product stores and groups, compared as grouping compares them.
    std::vector<double> ppos, pneg;
    for (const Pair& p : pairs)
        (p.positive ? ppos : pneg)
            .push_back(featurePrintSimilarity(items[p.a].print, items[p.b].print));
    const Rates product = rates(ppos, pneg, double(QuorlixFeature::nearThreshold));
    std::printf("  product vectors at %.2f: precision %.4f recall %.4f (%ld, %ld)\n",
                double(QuorlixFeature::nearThreshold), product.precision, product.recall,
                product.fp, product.fn);
    const Operating best = bestOperating(pos, neg);
    FeaturePrint::Weights raw = w;
    raw.constant = 0;
    std::vector<double> rpos, rneg;
    split(pairs, items, raw, rpos, rneg);
    const Operating rawBest = bestOperating(rpos, rneg);
    std::printf(
        "  best operating point of this set: %.4f (precision %.4f, recall %.4f); without the"
        " constant %.4f, so the constant that would put it at %.2f is %s%.3f (in use %.3f)\n",
        best.threshold, best.precision, best.recall, rawBest.threshold,
        double(QuorlixFeature::nearThreshold),
        rawBest.threshold > QuorlixFeature::nearThreshold ? "none, below 0: " : "",
        constantFor(rawBest.threshold, w, QuorlixFeature::nearThreshold), w.constant);
}

// The hardest cases by name, to see what a change to the descriptor trades.
void printWorst(const std::vector<Pair>& pairs, const std::vector<Item>& items,
                const FeaturePrint::Weights& w, std::size_t count) {
    std::vector<std::pair<double, const Pair*>> pos, neg;
    for (const auto& p : pairs)
        (p.positive ? pos : neg).emplace_back(similarity(p, items, w), &p);
    std::sort(pos.begin(), pos.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::sort(neg.begin(), neg.end(), [](auto& a, auto& b) { return a.first > b.first; });
    auto name = [&](std::size_t i) {
        const Item& it = items[i];
        return it.frame >= 0 ? it.scene + "#" + std::to_string(it.frame)
                             : it.scene + "/" + std::filesystem::path(it.file).filename().string();
    };
    auto show = [&](const char* title, const auto& list) {
        std::printf("  %s\n", title);
        for (std::size_t i = 0; i < list.size() && i < count; ++i) {
            const Pair& p = *list[i].second;
            std::printf("    %.4f  %-28s %-28s  blocks %.3f %.3f %.3f %.3f\n", list[i].first,
                        name(p.a).c_str(), name(p.b).c_str(), p.dot[0], p.dot[1], p.dot[2],
                        p.dot[3]);
        }
    };
    show("lowest burst pairs", pos);
    show("highest other-scene pairs", neg);
}

// Decoded analysis thumbnails kept in one file between runs, so that trying a change to the
// descriptor does not decode every image again. Keyed by path and modification time.
class ThumbnailCache {
public:
    explicit ThumbnailCache(std::string path) : path_(std::move(path)) {
        if (path_.empty())
            return;
        std::ifstream in(path_, std::ios::binary);
        std::string key;
        while (std::getline(in, key, '\0')) {
            ImageBuffer b;
            in.read(reinterpret_cast<char*>(&b.width), sizeof b.width);
            in.read(reinterpret_cast<char*>(&b.height), sizeof b.height);
            in.read(reinterpret_cast<char*>(&b.channels), sizeof b.channels);
            b.pixels.resize(std::size_t(b.width) * b.height * b.channels);
            in.read(reinterpret_cast<char*>(b.pixels.data()), std::streamsize(b.pixels.size()));
            if (!in)
                break;
            stored_.emplace(key, std::move(b));
        }
    }
    ~ThumbnailCache() {
        if (path_.empty() || added_.empty())
            return;
        std::ofstream out(path_, std::ios::binary | std::ios::app);
        for (const auto& key : added_) {
            const ImageBuffer& b = stored_.at(key);
            out.write(key.c_str(), std::streamsize(key.size() + 1));
            out.write(reinterpret_cast<const char*>(&b.width), sizeof b.width);
            out.write(reinterpret_cast<const char*>(&b.height), sizeof b.height);
            out.write(reinterpret_cast<const char*>(&b.channels), sizeof b.channels);
            out.write(reinterpret_cast<const char*>(b.pixels.data()),
                      std::streamsize(b.pixels.size()));
        }
    }
    std::optional<ImageBuffer> get(const std::string& file) {
        std::error_code error;
        const auto stamp = std::filesystem::last_write_time(file, error);
        const std::string key =
            file + "@" + std::to_string(error ? 0 : stamp.time_since_epoch().count());
        if (const auto found = stored_.find(key); found != stored_.end())
            return found->second;
        auto decoded = ImageDecoder::thumbnail(file, 1024);
        if (decoded && !path_.empty()) {
            stored_.emplace(key, *decoded);
            added_.push_back(key);
        }
        return decoded;
    }

private:
    std::string path_;
    std::map<std::string, ImageBuffer> stored_;
    std::vector<std::string> added_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: featureprint_report MANIFEST [--calibrate SET[,SET...]] [--sweep]"
                     " [--worst N] [--thumbnails CACHE_FILE]\n";
        return 2;
    }
    std::set<std::string> calibrationSets;
    bool sweep = false;
    int worstCount = 0;
    std::string thumbnailCache;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--calibrate" && i + 1 < argc) {
            std::stringstream names(argv[++i]);
            for (std::string s; std::getline(names, s, ',');)
                calibrationSets.insert(s);
        } else if (arg == "--worst" && i + 1 < argc) {
            worstCount = std::stoi(argv[++i]);
        } else if (arg == "--thumbnails" && i + 1 < argc) {
            thumbnailCache = argv[++i];
        } else if (arg == "--sweep") {
            sweep = true;
        } else {
            std::cerr << "unknown argument: " << arg << "\n";
            return 2;
        }
    }
    std::vector<Item> items = readManifest(argv[1]);
    ThumbnailCache cache(thumbnailCache);
    const auto cachedThumbnail = [&](const std::string& file) {
        return cache.get(file);
    };
    std::vector<std::string> order;
    for (auto& it : items) {
        if (std::find(order.begin(), order.end(), it.set) == order.end())
            order.push_back(it.set);
        const auto thumb = cachedThumbnail(it.file);
        if (!thumb) {
            std::cerr << "cannot decode, skipped: " << it.file << "\n";
            continue;
        }
        it.blocks = FeaturePrint::computeBlocks(*thumb);
        const auto blocks = parts(it);
        for (std::size_t k = 0; k < FeaturePrint::blockCount; ++k)
            it.norm2[k] = dot(*blocks[k], *blocks[k]);
        it.print = computeFeaturePrint(*thumb);
    }
    std::erase_if(items, [](const Item& it) { return it.print.empty(); });

    FeaturePrint::Weights weights = FeaturePrint::calibratedWeights();
    std::printf("feature print: %zu floats; weights luminance %.2f chroma %.2f orientation %.2f"
                " coarse %.2f, constant %.3f; look-alike threshold %.2f\n",
                featurePrintLength, weights.block[0], weights.block[1], weights.block[2],
                weights.block[3], weights.constant, double(QuorlixFeature::nearThreshold));

    std::vector<std::vector<Pair>> calibrationPairs;
    for (const auto& s : calibrationSets) {
        if (std::find(order.begin(), order.end(), s) == order.end()) {
            std::cerr << "no such set in the manifest: " << s << "\n";
            return 2;
        }
        calibrationPairs.push_back(pairsOf(items, {s}));
    }

    if (sweep && !calibrationPairs.empty()) {
        // Each weighting is calibrated on the calibration sets alone and judged by their mean
        // F0.5 at the threshold; the other sets' figures are printed, never used to choose.
        std::printf("\nweight sweep, each calibrated on the calibration sets:\n");
        std::vector<std::vector<Pair>> allPairs;
        for (const auto& s : order)
            allPairs.push_back(pairsOf(items, {s}));
        for (float wl : {0.3f, 0.5f, 0.7f, 1.0f})
            for (float wc : {0.7f, 1.0f, 1.4f})
                for (float wo : {0.3f, 0.5f, 0.7f, 1.0f})
                    for (float wk : {0.0f, 0.5f, 0.7f, 1.0f, 1.4f}) {
                        FeaturePrint::Weights w{{wl, wc, wo, wk}, 0.0f};
                        const Calibration c = calibrate(calibrationPairs, items, w);
                        w.constant = float(c.constant);
                        std::printf("  luminance %.1f chroma %.1f orientation %.1f coarse %.1f:"
                                    " constant %.2f (%.2f-%.2f) F %.4f |",
                                    wl, wc, wo, wk, c.constant, c.from, c.to, c.meanF);
                        for (std::size_t i = 0; i < order.size(); ++i) {
                            std::vector<double> pos, neg;
                            split(allPairs[i], items, w, pos, neg);
                            const Rates r = rates(pos, neg, QuorlixFeature::nearThreshold);
                            std::printf(" %s %.3f/%.3f", order[i].c_str(), r.precision, r.recall);
                        }
                        std::printf("\n");
                    }
    }

    if (!calibrationPairs.empty()) {
        const Calibration c = calibrate(calibrationPairs, items, weights);
        std::printf("\ncalibration on");
        for (const auto& s : calibrationSets)
            std::printf(" %s", s.c_str());
        std::printf(": constant %.2f, middle of %.2f-%.2f (mean F0.5 at the threshold %.4f); the"
                    " product uses %.2f\n",
                    c.constant, c.from, c.to, c.meanF, weights.constant);
        weights.constant = float(c.constant);
    }

    // Sanity check: the pair formula agrees with the vectors the product computes.
    double worst = 0;
    for (const auto& s : order) {
        const auto pairs = pairsOf(items, {s});
        for (std::size_t i = 0; i < pairs.size() && i < 2000; ++i) {
            const double exact =
                featurePrintSimilarity(items[pairs[i].a].print, items[pairs[i].b].print);
            worst = std::max(
                worst,
                std::abs(exact - similarity(pairs[i], items, FeaturePrint::calibratedWeights())));
        }
    }
    std::printf("largest difference between pair formula and product vectors: %.2e\n", worst);

    for (const auto& s : order) {
        const auto pairs = pairsOf(items, {s});
        report(s, pairs, items, weights);
        if (worstCount > 0)
            printWorst(pairs, items, weights, std::size_t(worstCount));
    }
    return 0;
}
