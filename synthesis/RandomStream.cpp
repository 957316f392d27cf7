#include "synthesis/RandomStream.h"

#include <array>

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_DRAWS_SSE2 1
#endif

namespace hillograph {
namespace {

constexpr std::size_t StepsPerDraw = 2;  // the magnitude, then the sign
constexpr TRandJump DrawJump = RandJumpOf(StepsPerDraw);

TDisplacementDraw DrawFrom(std::uint32_t state, std::uint32_t diversity) {
  const std::uint32_t magnitudeState = NextRandState(state);
  const std::uint32_t signState = NextRandState(magnitudeState);
  const auto magnitude =
      static_cast<std::int32_t>((static_cast<std::uint64_t>(magnitudeState) * diversity) >> 32);
  // Random(2) is the top bit of its state; as a mask it is 0 or -1.
  const std::int32_t signMask = -static_cast<std::int32_t>(signState >> 31);
  return magnitude ^ signMask;
}

#if HILLOGRAPH_DRAWS_SSE2

// Eight lanes, two per register: each 64-bit half of a register carries one lane's state in its
// low 32 bits, which is what the unsigned 32 x 32 -> 64 multiply reads. The high halves carry
// junk that no later step reads.
constexpr std::size_t DrawLanes = 8;
constexpr TRandJump LaneJump = RandJumpOf(DrawLanes * StepsPerDraw);

__m128i Broadcast(std::uint32_t value) {
  return _mm_set1_epi32(static_cast<int>(value));
}

// From the state before the first draw to the magnitude state of the draw of each lane.
constexpr std::array<TRandJump, DrawLanes> LaneStarts = [] {
  std::array<TRandJump, DrawLanes> starts{};
  for (std::size_t lane = 0; lane < DrawLanes; ++lane)
    starts[lane] = RandJumpOf(lane * StepsPerDraw + 1);
  return starts;
}();

// The magnitude states of lanes first and first + 1.
__m128i LanePair(std::uint32_t state, std::size_t first) {
  return _mm_set_epi64x(LaneStarts[first + 1].Apply(state), LaneStarts[first].Apply(state));
}

std::size_t FillLanes(std::uint32_t state, std::uint32_t diversity, std::size_t count,
                      TDisplacementDraw* out) {
  const __m128i laneMultiplier = Broadcast(LaneJump.Multiplier);
  const __m128i laneIncrement = _mm_set1_epi64x(LaneJump.Increment);
  const __m128i stepMultiplier = Broadcast(RandMultiplier);
  const __m128i stepIncrement = _mm_set1_epi64x(RandIncrement);
  const __m128i range = Broadcast(diversity);
  __m128i lanes01 = LanePair(state, 0);
  __m128i lanes23 = LanePair(state, 2);
  __m128i lanes45 = LanePair(state, 4);
  __m128i lanes67 = LanePair(state, 6);
  const auto draws = [&](__m128i magnitudeState) {
    const __m128i magnitude = _mm_srli_epi64(_mm_mul_epu32(magnitudeState, range), 32);
    const __m128i signState =
        _mm_add_epi64(_mm_mul_epu32(magnitudeState, stepMultiplier), stepIncrement);
    return _mm_xor_si128(magnitude, _mm_srai_epi32(signState, 31));
  };
  const auto advance = [&](__m128i magnitudeState) {
    return _mm_add_epi64(_mm_mul_epu32(magnitudeState, laneMultiplier), laneIncrement);
  };
  // Gathers the low 32 bits of each half of a and b: four consecutive draws.
  const auto lowHalves = [](__m128i a, __m128i b) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
  };
  std::size_t i = 0;
  for (; i + DrawLanes <= count; i += DrawLanes) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     lowHalves(draws(lanes01), draws(lanes23)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4),
                     lowHalves(draws(lanes45), draws(lanes67)));
    lanes01 = advance(lanes01);
    lanes23 = advance(lanes23);
    lanes45 = advance(lanes45);
    lanes67 = advance(lanes67);
  }
  return i;
}

#else

// Eight independent lanes of plain integers, which compilers keep in registers.
constexpr std::size_t DrawLanes = 8;
constexpr TRandJump LaneJump = RandJumpOf(DrawLanes * StepsPerDraw);

std::size_t FillLanes(std::uint32_t state, std::uint32_t diversity, std::size_t count,
                      TDisplacementDraw* out) {
  std::uint32_t lanes[DrawLanes];
  for (std::size_t lane = 0; lane < DrawLanes; ++lane)
    lanes[lane] = RandJumpOf(lane * StepsPerDraw).Apply(state);
  std::size_t i = 0;
  for (; i + DrawLanes <= count; i += DrawLanes) {
    for (std::size_t lane = 0; lane < DrawLanes; ++lane) {
      out[i + lane] = DrawFrom(lanes[lane], diversity);
      lanes[lane] = LaneJump.Apply(lanes[lane]);
    }
  }
  return i;
}

#endif

}  // namespace

std::uint32_t FillDisplacementDraws(std::uint32_t State, std::int32_t Diversity, std::size_t Count,
                                    TDisplacementDraw* Out) {
  const auto diversity = static_cast<std::uint32_t>(Diversity);
  const std::size_t filled = FillLanes(State, diversity, Count, Out);
  State = RandJumpOf(filled * StepsPerDraw).Apply(State);
  for (std::size_t i = filled; i < Count; ++i) {
    Out[i] = DrawFrom(State, diversity);
    State = DrawJump.Apply(State);
  }
  return State;
}

}  // namespace hillograph
