// The undo ring against a model that keeps the four layers after every
// step, and the named cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "imaging/CRegion.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/undo/UndoManager.h"
#include "testsupport/foundation/CountingMemory.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

constexpr int32_t kBlock = CSMKUndoManager::kBlockBytes;

// Four layers and their views.
struct Layers {
    Layers(int32_t w, int32_t h) : width(w), height(h) {
        for (int32_t i = 0; i < 4; ++i) {
            images[i] = std::make_unique<CImage>(w, h);
            views[i] = std::make_unique<CImNav>(images[i].get());
        }
    }
    uint32_t* Data(int32_t layer) const {
        return reinterpret_cast<uint32_t*>(views[layer]->GetData());
    }
    CImNav* V(int32_t i) const { return views[i].get(); }
    std::vector<uint32_t> Copy(int32_t layer) const {
        const uint32_t* d = Data(layer);
        return std::vector<uint32_t>(d, d + size_t(width) * size_t(height));
    }

    int32_t width, height;
    std::unique_ptr<CImage> images[4];
    std::unique_ptr<CImNav> views[4];
};

// One pixel change of a stroke: layer, index, old and new word.
struct Change {
    int32_t layer;
    size_t index;
    uint32_t before, after;
};

// The manager on a set of layers beside the model: the model's own copy of
// the layers and the changes of every step it could undo or redo.
class Harness {
public:
    Harness(int32_t w, int32_t h, int32_t ring, uint32_t seed)
        : layers(w, h), rng(seed), width(w), height(h) {
        for (int32_t i = 0; i < 4; ++i) {
            uint32_t* d = layers.Data(i);
            for (size_t k = 0; k < size_t(w) * size_t(h); ++k) {
                d[k] = rng();
            }
            model[i] = layers.Copy(i);
        }
        EXPECT_EQ(manager.Initialise(ring, w, h), eNoError);
    }

    void Protect(gCRect r) {
        EXPECT_EQ(manager.ProtectArea(r, layers.V(0), layers.V(1), layers.V(2), layers.V(3)),
                  eNoError);
    }

    // Changes some pixels of the rectangle (clipped) in both copies.
    void Paint(const gCRect& r, std::vector<Change>& changes) {
        const int32_t left = std::max(0, r.left), top = std::max(0, r.top);
        const int32_t right = std::min(width, r.right), bottom = std::min(height, r.bottom);
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) {
                if (rng() % 3 == 0) {
                    continue;
                }
                const int32_t layer = int32_t(rng() % 4);
                const size_t i = size_t(y) * size_t(width) + size_t(x);
                const uint32_t after = rng();
                changes.push_back({layer, i, layers.Data(layer)[i], after});
                layers.Data(layer)[i] = after;
                model[layer][i] = after;
            }
        }
    }

    // A stroke of the given rectangles, each protected then painted; the
    // tiles it saved are counted the way the ring saves them.
    void Stroke(const std::vector<gCRect>& rects) {
        std::vector<Change> changes;
        std::set<std::pair<int32_t, int32_t>> tiles;
        const int32_t columns = (width + 15) >> 4, rows = (height + 15) >> 4;
        manager.StartProtect(0);
        for (const gCRect& r : rects) {
            Protect(r);
            for (int32_t ty = std::max(0, r.top >> 4); ty < std::min(rows, (r.bottom + 15) >> 4);
                 ++ty) {
                for (int32_t tx = std::max(0, r.left >> 4);
                     tx < std::min(columns, (r.right + 15) >> 4); ++tx) {
                    tiles.insert({tx, ty});
                }
            }
            Paint(r, changes);
        }
        manager.EndProtect();
        steps.resize(current);
        blocks.resize(current);
        steps.push_back(std::move(changes));
        blocks.push_back(int32_t(tiles.size()));
        ++current;
    }

    gCRect RandomRect() {
        const int32_t kind = int32_t(rng() % 20);
        if (kind == 0) {
            return gCRect(-8, -8, width + 8, height + 8); // the whole canvas and beyond
        }
        const int32_t left = int32_t(rng() % uint32_t(width + 20)) - 10;
        const int32_t top = int32_t(rng() % uint32_t(height + 20)) - 10;
        if (kind == 1) {
            return gCRect(left, top, left - int32_t(rng() % 5), top + 4); // empty
        }
        return gCRect(left, top, left + 1 + int32_t(rng() % 40), top + 1 + int32_t(rng() % 40));
    }

    void RandomStroke() {
        // A third of the strokes save nothing, as every airbrush stroke: they
        // walk the position in steps of 16 bytes, so headers and trailers
        // meet the ring's end too.
        std::vector<gCRect> rects(rng() % 3 == 0 ? 0 : 1 + rng() % 4);
        for (gCRect& r : rects) {
            r = RandomRect();
        }
        Stroke(rects);
    }

    // Applies the model's step backwards or forwards.
    void ModelUndo() {
        --current;
        const auto& changes = steps[current];
        for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
            model[it->layer][it->index] = it->before;
        }
    }
    void ModelRedo() {
        for (const Change& c : steps[current]) {
            model[c.layer][c.index] = c.after;
        }
        ++current;
    }

    error Undo() {
        return manager.DoUndo(region, layers.V(0), layers.V(1), layers.V(2), layers.V(3));
    }
    error Redo() {
        return manager.DoRedo(region, layers.V(0), layers.V(1), layers.V(2), layers.V(3));
    }

    bool LayersMatchModel() const {
        for (int32_t i = 0; i < 4; ++i) {
            if (std::memcmp(layers.Data(i), model[i].data(), model[i].size() * 4) != 0) {
                return false;
            }
        }
        return true;
    }

    // Which elements the history walk found at offset 0 by a wrap.
    struct Wraps {
        bool header = false, block = false, trailer = false;
    };

    // Walks the history from the low-water mark to the top with the
    // writer's placement rule: every header matches its trailer, every tile
    // lies in the tile map, and the position is one of the record bounds.
    ::testing::AssertionResult WalkHistory(Wraps& wraps) const {
        const int32_t size = manager.RingSize();
        const uint8_t* ring = manager.RingData();
        const auto place = [size](int32_t off, int32_t n) {
            return uint32_t(off) + uint32_t(n) >= uint32_t(size) ? 0 : off;
        };
        const auto read = [ring](int32_t off, int32_t& a, int32_t& b) {
            int32_t w[2];
            std::memcpy(w, ring + off, 8);
            a = w[0];
            b = w[1];
        };
        int32_t off = manager.LowWaterMark();
        const int32_t top = manager.Top(), position = manager.Position();
        bool sawPosition = off == position || place(off, 8) == position;
        for (int32_t guard = 0; off != top; ++guard) {
            if (guard > 1000000 || off < 0 || off > size) {
                return ::testing::AssertionFailure() << "walk runs away at " << off;
            }
            const int32_t h = place(off, 8);
            wraps.header |= h == 0 && off != 0;
            int32_t id = 0, count = 0;
            read(h, id, count);
            if (count < 0 || int64_t(count) * kBlock >= size) {
                return ::testing::AssertionFailure() << "bad count " << count << " at " << h;
            }
            int32_t b = h + 8;
            for (int32_t i = 0; i < count; ++i) {
                const int32_t at = place(b, kBlock);
                wraps.block |= at == 0 && b != 0;
                int32_t tx = 0, ty = 0;
                read(at, tx, ty);
                if (tx < 0 || ty < 0 || tx >= manager.TileColumns() || ty >= manager.TileRows()) {
                    return ::testing::AssertionFailure() << "tile " << tx << "," << ty;
                }
                b = at + kBlock;
            }
            const int32_t t = place(b, 8);
            wraps.trailer |= t == 0 && b != 0;
            int32_t tid = 0, tcount = 0;
            read(t, tid, tcount);
            if (tid != id || tcount != count) {
                return ::testing::AssertionFailure()
                       << "trailer " << tcount << " against header " << count << " at " << t;
            }
            off = t + 8;
            sawPosition = sawPosition || off == position || place(off, 8) == position;
        }
        if (!sawPosition) {
            return ::testing::AssertionFailure() << "position " << position << " on no record";
        }
        return ::testing::AssertionSuccess();
    }

    Layers layers;
    std::vector<uint32_t> model[4];
    std::vector<std::vector<Change>> steps;
    std::vector<int32_t> blocks; // tiles saved by each step
    size_t current = 0;          // steps done
    CSMKUndoManager manager;
    CRegion region;
    std::mt19937 rng;
    int32_t width, height;
};

int32_t LargestRecord(int32_t w, int32_t h) {
    return ((w + 15) >> 4) * ((h + 15) >> 4) * kBlock + CSMKUndoManager::kRecordOverhead;
}

enum class WrapKind { kHeader, kTrailer, kBlock };

// Leads the writer to the ring's end so that the chosen element is the one
// that wraps: one-tile strokes until two blocks are left, then for a block
// a three-tile stroke; for a header or trailer empty strokes, which creep
// up on the end 16 bytes at a time (a one-tile stroke first shifts the
// position by 8 when the other kind would meet the end).
void Steer(Harness& t, int32_t ring, WrapKind kind) {
    const auto left = [&] { return ring - t.manager.Position(); };
    const gCRect tile(0, 0, 16, 16);
    while (left() > 2 * kBlock + 64) {
        t.Stroke({tile});
    }
    if (kind == WrapKind::kBlock) {
        t.Stroke({gCRect(0, 0, 48, 16)});
        return;
    }
    const bool headerMeetsEnd = (left() - 1) % 16 < 8;
    if (headerMeetsEnd != (kind == WrapKind::kHeader)) {
        t.Stroke({tile});
    }
    while (left() > 16) {
        t.Stroke({});
    }
    t.Stroke({});
}

// One seeded run: random strokes, undos and redos, checked after every
// step; then a run of strokes alone, undone as far as the ring must reach.
void RunProperty(int32_t w, int32_t h, int32_t ring, uint32_t seed, int32_t steps,
                 Harness::Wraps& wraps) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", canvas " + std::to_string(w) + " x " +
                 std::to_string(h) + ", ring " + std::to_string(ring));
    Harness t(w, h, ring, seed);
    Steer(t, ring, WrapKind(seed % 3));
    ASSERT_TRUE(t.LayersMatchModel());
    ASSERT_TRUE(t.WalkHistory(wraps));
    for (int32_t s = 0; s < steps; ++s) {
        const uint32_t op = t.rng() % 10;
        if (op < 5) {
            t.RandomStroke();
        } else if (op < 8) {
            if (t.manager.CanUndo()) {
                ASSERT_GT(t.current, 0u) << "undo past the first state, step " << s;
                ASSERT_EQ(t.Undo(), eNoError);
                t.ModelUndo();
            } else {
                ASSERT_EQ(t.Undo(), eNoError);
                ASSERT_TRUE(t.region.IsEmpty());
            }
        } else {
            ASSERT_EQ(bool(t.manager.CanRedo()), t.current < t.steps.size()) << "step " << s;
            ASSERT_EQ(t.Redo(), eNoError);
            if (t.current < t.steps.size()) {
                t.ModelRedo();
            }
        }
        ASSERT_TRUE(t.LayersMatchModel()) << "step " << s;
        ASSERT_TRUE(t.WalkHistory(wraps)) << "step " << s;
    }

    // Strokes alone from a new project: every newest record that fits with
    // two blocks to spare can be undone.
    ASSERT_EQ(t.manager.Initialise(ring, w, h), eNoError);
    t.steps.clear();
    t.blocks.clear();
    t.current = 0;
    const int32_t strokes = 10 + int32_t(t.rng() % 60);
    for (int32_t s = 0; s < strokes; ++s) {
        t.RandomStroke();
        ASSERT_TRUE(t.WalkHistory(wraps));
    }
    int64_t used = 2 * kBlock;
    size_t reach = 0;
    for (size_t i = t.blocks.size(); i-- > 0;) {
        used += int64_t(t.blocks[i]) * kBlock + CSMKUndoManager::kRecordOverhead;
        if (used > ring) {
            break;
        }
        ++reach;
    }
    for (size_t i = 0; i < reach; ++i) {
        ASSERT_TRUE(t.manager.CanUndo()) << "only " << i << " of " << reach << " undos";
        ASSERT_EQ(t.Undo(), eNoError);
        t.ModelUndo();
        ASSERT_TRUE(t.LayersMatchModel()) << "undo " << i;
    }
}

TEST(UndoManagerProperty, LayersFollowTheModelThroughRandomStrokesUndosAndRedos) {
    // DAUBLIN_UNDO_SEED replays a failing run.
    const char* fixed = std::getenv("DAUBLIN_UNDO_SEED");
    const uint32_t base =
        fixed ? uint32_t(std::strtoul(fixed, nullptr, 10)) : uint32_t(std::random_device{}());
    struct Canvas {
        int32_t w, h;
    };
    for (const Canvas c : {Canvas{37, 23}, Canvas{100, 100}, Canvas{333, 217}}) {
        Harness::Wraps wraps;
        std::mt19937 pick(base ^ uint32_t(c.w * 7919 + c.h));
        const int32_t least = LargestRecord(c.w, c.h) + 3 * kBlock;
        // Sizes chosen so that each element kind meets the ring's end,
        // then random ones.
        std::vector<int32_t> rings = {least + 4, least + 8 * kBlock + 12, least + 3 * kBlock + 4100,
                                      least + 16};
        for (int32_t i = 0; i < 4; ++i) {
            rings.push_back(least + int32_t(pick() % uint32_t(4 * least)));
        }
        uint32_t seed = base + uint32_t(c.w);
        for (const int32_t ring : rings) {
            RunProperty(c.w, c.h, ring, seed++, c.w > 200 ? 250 : 500, wraps);
            if (HasFatalFailure()) {
                ADD_FAILURE() << "replay with DAUBLIN_UNDO_SEED=" << base;
                return;
            }
        }
        EXPECT_TRUE(wraps.header && wraps.block && wraps.trailer)
            << "canvas " << c.w << " x " << c.h << ": header " << wraps.header << " block "
            << wraps.block << " trailer " << wraps.trailer << ", base seed " << base;
    }
}

// The named cases.

// A block stroke over the given tiles' first pixels.
void TileStroke(Harness& t, std::initializer_list<gCRect> rects) {
    t.Stroke(std::vector<gCRect>(rects));
}

struct NamedCase {
    const char* name;
    std::function<void()> run;
};

const NamedCase kCases[] = {
    {"nothing recorded",
     [] {
         Harness t(40, 40, 100000, 1);
         EXPECT_FALSE(t.manager.CanUndo());
         EXPECT_EQ(t.Undo(), eNoError);
         EXPECT_TRUE(t.region.IsEmpty());
         EXPECT_EQ(t.Redo(), eNoError);
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"redo right after a stroke",
     [] {
         Harness t(40, 40, 100000, 2);
         TileStroke(t, {gCRect(3, 3, 20, 9)});
         EXPECT_FALSE(t.manager.CanRedo());
         EXPECT_EQ(t.Redo(), eNoError);
         EXPECT_TRUE(t.region.IsEmpty());
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"stroke, undo, new stroke, redo gives 0",
     [] {
         Harness t(40, 40, 100000, 3);
         TileStroke(t, {gCRect(3, 3, 20, 9)});
         EXPECT_EQ(t.Undo(), eNoError);
         t.ModelUndo();
         TileStroke(t, {gCRect(30, 30, 40, 40)});
         EXPECT_FALSE(t.manager.CanRedo());
         EXPECT_EQ(t.Redo(), eNoError);
         EXPECT_TRUE(t.region.IsEmpty());
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"a new project empties the history",
     [] {
         Harness t(40, 40, 100000, 4);
         TileStroke(t, {gCRect(0, 0, 40, 40)});
         ASSERT_EQ(t.manager.Initialise(100000, 40, 40), eNoError);
         EXPECT_FALSE(t.manager.CanUndo());
         EXPECT_EQ(t.Undo(), eNoError);
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"an undo wrapping between blocks",
     [] {
         // One record of one block, then one of three that reaches the end
         // after its second block and overwrites the first record.
         Harness t(64, 16, 16 + kBlock + 16 + 2 * kBlock + 100, 5);
         TileStroke(t, {gCRect(0, 0, 16, 16)});
         const int32_t before = t.manager.Position();
         TileStroke(t, {gCRect(16, 0, 64, 16)});
         ASSERT_LT(t.manager.Position(), before); // the record went round
         EXPECT_EQ(t.manager.LowWaterMark(), before);
         ASSERT_EQ(t.Undo(), eNoError);
         t.ModelUndo();
         EXPECT_EQ(t.region.GetBounds(), gCRect(16, 0, 64, 16));
         EXPECT_TRUE(t.LayersMatchModel());
         EXPECT_FALSE(t.manager.CanUndo()); // the first record was overwritten
         ASSERT_EQ(t.Redo(), eNoError);
         t.ModelRedo();
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"redo after a header at 0",
     [] {
         // Two one-block records end 4 bytes before the ring's end: the next
         // header goes to 0 and the position ends up at the wrap end.
         const int32_t record = 16 + kBlock;
         Harness t(32, 16, 2 * record + 4, 6);
         TileStroke(t, {gCRect(0, 0, 16, 16)});
         TileStroke(t, {gCRect(16, 0, 32, 16)});
         TileStroke(t, {}); // empty: its header wraps and drops the first
         EXPECT_EQ(t.manager.Position(), 16);
         for (int32_t i = 0; i < 2; ++i) {
             ASSERT_TRUE(t.manager.CanUndo());
             ASSERT_EQ(t.Undo(), eNoError);
             t.ModelUndo();
             EXPECT_TRUE(t.LayersMatchModel());
         }
         EXPECT_FALSE(t.manager.CanUndo());
         for (int32_t i = 0; i < 2; ++i) {
             ASSERT_TRUE(t.manager.CanRedo());
             ASSERT_EQ(t.Redo(), eNoError);
             t.ModelRedo();
             EXPECT_TRUE(t.LayersMatchModel());
         }
         EXPECT_EQ(t.manager.Position(), 16);
         EXPECT_FALSE(t.manager.CanRedo());
     }},
    {"an airbrush-like empty stroke between two strokes",
     [] {
         Harness t(40, 40, 100000, 7);
         TileStroke(t, {gCRect(0, 0, 10, 10)});
         TileStroke(t, {});
         TileStroke(t, {gCRect(20, 20, 30, 30)});
         for (int32_t i = 0; i < 3; ++i) {
             ASSERT_TRUE(t.manager.CanUndo());
             ASSERT_EQ(t.Undo(), eNoError);
             t.ModelUndo();
             EXPECT_TRUE(t.LayersMatchModel());
             EXPECT_EQ(t.region.IsEmpty(), i == 1);
         }
         EXPECT_FALSE(t.manager.CanUndo());
         for (int32_t i = 0; i < 3; ++i) {
             ASSERT_EQ(t.Redo(), eNoError);
             t.ModelRedo();
             EXPECT_TRUE(t.LayersMatchModel());
         }
         EXPECT_FALSE(t.manager.CanRedo());
     }},
    {"undo during an open record",
     [] {
         Harness t(40, 40, 100000, 8);
         TileStroke(t, {gCRect(0, 0, 10, 10)});
         t.manager.StartProtect(0);
         t.Protect(gCRect(20, 20, 30, 30));
         EXPECT_FALSE(t.manager.CanUndo());
         EXPECT_EQ(t.Undo(), eNoError);
         EXPECT_TRUE(t.region.IsEmpty());
         EXPECT_EQ(t.Redo(), eNoError);
         EXPECT_TRUE(t.LayersMatchModel());
         t.manager.EndProtect();
         t.steps.push_back({});
         t.blocks.push_back(1);
         ++t.current;
         for (int32_t i = 0; i < 2; ++i) {
             ASSERT_EQ(t.Undo(), eNoError);
             t.ModelUndo();
             EXPECT_TRUE(t.LayersMatchModel());
         }
     }},
    {"memory hooks refusing the ring keep the history",
     [] {
         Harness t(40, 40, 100000, 9);
         TileStroke(t, {gCRect(0, 0, 10, 10)});
         for (int32_t allowed = 0; allowed < 3; ++allowed) {
             CFailingMemory failing(allowed);
             // The tile map's object, then its pixels, then the ring.
             EXPECT_EQ(t.manager.Initialise(200000, 80, 80), eOutOfMemory) << allowed;
         }
         EXPECT_EQ(t.manager.RingSize(), 100000);
         EXPECT_EQ(t.manager.TileColumns(), 3);
         ASSERT_TRUE(t.manager.CanUndo());
         ASSERT_EQ(t.Undo(), eNoError);
         t.ModelUndo();
         EXPECT_TRUE(t.LayersMatchModel());
     }},
    {"recording strokes allocates nothing",
     [] {
         Harness t(100, 100, 300000, 10);
         CCountingMemory counting;
         for (int32_t i = 0; i < 60; ++i) {
             t.manager.StartProtect(0);
             gCRect r = t.RandomRect();
             t.Protect(r);
             t.manager.EndProtect();
         }
         EXPECT_EQ(counting.Allocs() + counting.Reallocs(), 0);
     }},
    {"no ring records nothing",
     [] {
         Harness t(40, 40, 0, 11);
         TileStroke(t, {gCRect(0, 0, 10, 10)});
         EXPECT_FALSE(t.manager.CanUndo());
         EXPECT_EQ(t.manager.Position(), 0);
     }},
    {"a record larger than the ring is dropped whole",
     [] {
         Harness t(64, 64, 3 * kBlock, 12);
         TileStroke(t, {gCRect(0, 0, 16, 16)});
         ASSERT_TRUE(t.manager.CanUndo());
         TileStroke(t, {gCRect(0, 0, 64, 64)});
         EXPECT_FALSE(t.manager.CanUndo());
         EXPECT_FALSE(t.manager.CanRedo());
         TileStroke(t, {gCRect(0, 0, 16, 16)}); // recording goes on afterwards
         EXPECT_TRUE(t.manager.CanUndo());
     }},
};

TEST(UndoManagerCases, NamedCases) {
    for (const NamedCase& c : kCases) {
        SCOPED_TRACE(c.name);
        c.run();
    }
}

} // namespace
