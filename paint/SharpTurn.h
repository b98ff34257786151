#pragma once
// Where a stroke turns sharply: two unit steps whose sum is shorter than
// kSharpTurnSum turn by more than about 88 degrees (1.44 = 2 cos 44°).
//
// The stroke engine and the tools meet a sum of exactly kSharpTurnSum
// differently, and each says which it takes: the engine, choosing where its
// smoothed curve is cut at a corner, goes straight on there; the tools,
// capping the piece they lay at a turn, turn there.

#include <cmath>
#include <cstdint>

inline constexpr float kSharpTurnSum = 1.44f;

enum class ETurnEdge : int32_t {
    eEdgeGoesOn, // a sum of exactly kSharpTurnSum goes on: the engine's corners
    eEdgeTurns,  // a sum of exactly kSharpTurnSum turns: the tools' caps
};

// Whether the two unit steps whose sum is (sx, sy) turn sharply.
inline bool IsSharpTurn(float sx, float sy, ETurnEdge edge) {
    const float length = std::sqrt(sx * sx + sy * sy);
    return edge == ETurnEdge::eEdgeTurns ? length <= kSharpTurnSum : length < kSharpTurnSum;
}
