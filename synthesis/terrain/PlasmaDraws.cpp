#include "synthesis/terrain/PlasmaDraws.h"

#include <algorithm>
#include <array>

#include "synthesis/random/Random.h"
#include "synthesis/random/RandomJump.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_PLASMA_DRAWS_SSE2 1
#endif

namespace hillograph {
namespace {

constexpr std::size_t StepsPerDraw = 2;  // the magnitude, then the sign

// Independent lanes, each one draw ahead of the previous: enough to keep the multipliers busy.
constexpr std::size_t DrawLanes = 8;
constexpr TRandJump LaneJump = RandJumpOf(DrawLanes * StepsPerDraw);

// From the state before the first draw to the magnitude state of each lane's first draw.
constexpr std::array<TRandJump, DrawLanes> LaneStarts = [] {
  std::array<TRandJump, DrawLanes> starts{};
  for (std::size_t lane = 0; lane < DrawLanes; ++lane)
    starts[lane] = RandJumpOf(lane * StepsPerDraw + 1);
  return starts;
}();

TPlasmaDraw DrawOf(std::uint32_t magnitudeState, std::uint32_t diversity) {
  const auto magnitude =
      static_cast<std::uint32_t>((std::uint64_t{magnitudeState} * diversity) >> 32);
  // Random(2) is the top bit of its state.
  const std::uint32_t negative = NextRandState(magnitudeState) >> 31;
  return static_cast<TPlasmaDraw>(magnitude | (negative << DrawSignShift));
}

#if HILLOGRAPH_PLASMA_DRAWS_SSE2

// Eight lanes, two per register: each 64-bit half carries one lane in its low 32 bits, which is
// what the unsigned 32 x 32 -> 64 multiply reads; the high halves carry junk nothing reads.
class TDrawLanes {
 public:
  TDrawLanes(std::uint32_t state, std::uint32_t diversity)
      : lanes01_(Pair(state, 0)),
        lanes23_(Pair(state, 2)),
        lanes45_(Pair(state, 4)),
        lanes67_(Pair(state, 6)),
        range_(Broadcast(diversity)) {}

  // The next eight draws.
  __m128i Next() {
    // Magnitudes are below 2^15, so they pack into 16 bits unchanged; the signs pack to 0 or -1.
    const __m128i magnitudes =
        _mm_packs_epi32(LowHalves(Magnitudes(lanes01_), Magnitudes(lanes23_)),
                        LowHalves(Magnitudes(lanes45_), Magnitudes(lanes67_)));
    const __m128i signs = _mm_packs_epi32(LowHalves(Signs(lanes01_), Signs(lanes23_)),
                                          LowHalves(Signs(lanes45_), Signs(lanes67_)));
    Advance(lanes01_);
    Advance(lanes23_);
    Advance(lanes45_);
    Advance(lanes67_);
    return _mm_or_si128(magnitudes, _mm_slli_epi16(signs, DrawSignShift));
  }

 private:
  static __m128i Broadcast(std::uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }

  static __m128i Pair(std::uint32_t state, std::size_t first) {
    return _mm_set_epi64x(LaneStarts[first + 1].Apply(state), LaneStarts[first].Apply(state));
  }

  // The low 32 bits of each half of a and then of b.
  static __m128i LowHalves(__m128i a, __m128i b) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
  }

  // Random(Diversity): the high half of magnitude state * Diversity.
  __m128i Magnitudes(__m128i magnitudeStates) const {
    return _mm_srli_epi64(_mm_mul_epu32(magnitudeStates, range_), 32);
  }

  // Random(2) as 0 or -1: the top bit of the state after the magnitude state.
  static __m128i Signs(__m128i magnitudeStates) {
    return _mm_srai_epi32(_mm_add_epi64(_mm_mul_epu32(magnitudeStates, Broadcast(RandMultiplier)),
                                        _mm_set1_epi64x(RandIncrement)),
                          31);
  }

  static void Advance(__m128i& magnitudeStates) {
    magnitudeStates = _mm_add_epi64(_mm_mul_epu32(magnitudeStates, Broadcast(LaneJump.Multiplier)),
                                    _mm_set1_epi64x(LaneJump.Increment));
  }

  __m128i lanes01_;
  __m128i lanes23_;
  __m128i lanes45_;
  __m128i lanes67_;
  __m128i range_;
};

std::size_t FillLanes(std::uint32_t state, std::uint32_t diversity, std::size_t count,
                      TPlasmaDraw* out) {
  TDrawLanes lanes(state, diversity);
  std::size_t i = 0;
  for (; i + DrawLanes <= count; i += DrawLanes)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), lanes.Next());
  return i;
}

#else

// Plain integers in independent lanes, which compilers keep in registers.
std::size_t FillLanes(std::uint32_t state, std::uint32_t diversity, std::size_t count,
                      TPlasmaDraw* out) {
  std::uint32_t lanes[DrawLanes];
  for (std::size_t lane = 0; lane < DrawLanes; ++lane)
    lanes[lane] = LaneStarts[lane].Apply(state);
  std::size_t i = 0;
  for (; i + DrawLanes <= count; i += DrawLanes) {
    for (std::size_t lane = 0; lane < DrawLanes; ++lane) {
      out[i + lane] = DrawOf(lanes[lane], diversity);
      lanes[lane] = LaneJump.Apply(lanes[lane]);
    }
  }
  return i;
}

#endif

TDisplacement DisplacementOf(TPlasmaDraw draw, std::uint16_t scale) {
  const auto offset = static_cast<std::int32_t>(std::min<std::uint32_t>(
      (static_cast<std::uint32_t>(draw & DrawMagnitudeMask) * scale) >> MaxDrawDepth,
      MaxUsefulOffset));
  const std::int32_t negative = -static_cast<std::int32_t>(draw >> DrawSignShift);
  return static_cast<TDisplacement>(2 * ((offset ^ negative) - negative) + 1);
}

}  // namespace

std::uint32_t FillDraws(std::uint32_t State, std::int32_t Diversity, std::size_t Count,
                        TPlasmaDraw* Out) {
  const auto diversity = static_cast<std::uint32_t>(Diversity);
  const std::size_t filled = FillLanes(State, diversity, Count, Out);
  State = RandJumpOf(filled * StepsPerDraw).Apply(State);
  for (std::size_t i = filled; i < Count; ++i) {
    const std::uint32_t magnitudeState = NextRandState(State);
    Out[i] = DrawOf(magnitudeState, diversity);
    State = NextRandState(magnitudeState);
  }
  return State;
}

void ScaleDraws(const TPlasmaDraw* Draws, const std::uint16_t* Scales, std::size_t Count,
                TDisplacement* Out) {
  std::size_t i = 0;
#if HILLOGRAPH_PLASMA_DRAWS_SSE2
  // Magnitudes are below 2^15 and scales at most 2^15, so the high half of their product is the
  // magnitude shifted right by the depth.
  for (; i + DrawLanes <= Count; i += DrawLanes) {
    const __m128i draws = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Draws + i));
    const __m128i scales = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Scales + i));
    const __m128i magnitudes = _mm_and_si128(draws, _mm_set1_epi16(DrawMagnitudeMask));
    const __m128i offsets =
        _mm_min_epi16(_mm_mulhi_epu16(magnitudes, scales), _mm_set1_epi16(MaxUsefulOffset));
    const __m128i signs = _mm_srai_epi16(draws, DrawSignShift);
    const __m128i signedOffsets = _mm_sub_epi16(_mm_xor_si128(offsets, signs), signs);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i),
                     _mm_add_epi16(_mm_add_epi16(signedOffsets, signedOffsets), _mm_set1_epi16(1)));
  }
#endif
  for (; i < Count; ++i)
    Out[i] = DisplacementOf(Draws[i], Scales[i]);
}

}  // namespace hillograph
