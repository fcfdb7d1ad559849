#ifndef CORDSHIFT_WIRING_DIRECTION_H_
#define CORDSHIFT_WIRING_DIRECTION_H_

// The two choices that shape a conversion: which side is read and which is
// written, and how terminal numbers are written on the continuity side.

namespace cordshift {

enum class Direction {
  kContinuityToHipot,  // continuity files read, hipot files written
  kHipotToContinuity,  // hipot files read, continuity files written
};

// The two testers' layouts.
enum class Side {
  kContinuity,  // three-field records
  kHipot,       // six-field records
};

constexpr Side SourceSideOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? Side::kContinuity
                                                    : Side::kHipot;
}
constexpr Side DestinationSideOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? Side::kHipot
                                                    : Side::kContinuity;
}

enum class Notation {
  kAb,          // A1..A4096, B1..B4096
  kSequential,  // four-digit sequential numbers
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_DIRECTION_H_
