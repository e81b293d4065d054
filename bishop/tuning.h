// The solver's tuning: how far its searches refine, how many starts and
// circles they take, and how a sweep spaces its nodes.  Each number once,
// with why; the ones that differ between one slope, a row of a sweep and
// a node are carried by Precision alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bishop/bishop.h"

namespace telk {

// How far a search for the critical circle refines, and the steepest
// safe angle's search.
struct Precision {
  // The step the compass halves down to, how close the simplex's corners
  // and how alike their values (a share of them) when it stops.
  double least_step, corners, values;
  // The slices a whole search's first simplex from each of the grid's
  // starts cuts its circles in, which only takes it into a valley that
  // later steps refine in full; and the slices of every later step.
  int settle_slices = kSlices;
  int slices = kSlices;
  // The first steps: of the simplex from a grid start (a twentieth of the
  // ranges, which a grid cell spans); of the compass and simplex that
  // refine a valley the first simplex settled in, widen the reach, cross
  // the crest's edge or follow the upright edge; about the best circle
  // centred level with the crest, which is a least along that level
  // already; and from a circle critical a little way off, which the
  // least has moved from by some thousandths.
  double settle_step = 0.05;
  double refine_step = 0.01;
  double crest_step = 0.001;
  double near_step = 0.002;
  // The degrees the steepest safe angle is found to.
  double angle_tolerance = 1e-3;

  // The same, with the settling simplex's slices.
  constexpr Precision settling() const {
    Precision p = *this;
    p.slices = settle_slices;
    return p;
  }
};

// To the last digits: the answer for one slope, its steepest angle to
// 0.001 degree.
inline constexpr Precision kFinePrecision{.least_step = 1e-8, .corners = 1e-7, .values = 1e-10};

// A row of a sweep solved at its own height: the same, its steepest angle
// to 1e-4 degree: the row's answer is the solver's own, with no margin
// below it.  (Refined only as a node's, its factor of safety can stand a
// few parts in a billion above the direct solve's, and where it runs
// flat below the target its crossing 0.001 degree steeper.)
inline constexpr Precision kRowPrecision{
    .least_step = 1e-8, .corners = 1e-7, .values = 1e-10, .angle_tolerance = 1e-4};

// For the nodes of a sweep, which a cubic reads to 2e-4 of the factor of
// safety: a circle 1e-5 off the least moves the factor of safety by some
// 1e-10 of it, and a sweep on a deeper base solves in a third less time.
// The compass and the first simplex cut their circles in all the slices:
// in 16 a shaken slope's search ends 0.09% above its least, and vertical
// cuts whose circles run along a base 8 heights down settle in a valley
// 0.16% above it, past the factor of safety's margin.  The steepest angle
// to 0.001 degree, well within kSweepAngleError (sweep_answers.h).
inline constexpr Precision kNodePrecision{.least_step = 1e-5, .corners = 1e-5, .values = 1e-9};

// The coarse grid's local minima a whole search refines, the least first,
// above the base and below it: more valleys than a slope shows, so that
// the least is among them.
inline constexpr int kGridValleys = 6;
inline constexpr int kGridValleysBelow = 2;

// A simplex stops after this many circles, or where its best value has
// gained less than kStallGain of itself over the last kStallCheck
// circles: where the factor of safety is flat along a valley (every
// shallow circle of a cohesionless slope is nearly the plane slip) its
// corners never close in.
inline constexpr int kMostCircles = 3000;
inline constexpr int kStallCheck = 200;
inline constexpr double kStallGain = 1e-12;

// A compass from a circle critical a little way off: a step that moves
// on for more circles than this is far too short for the valley it
// follows, and doubles (search_refine.h).
inline constexpr int kCompassRun = 200;

// Two refinements ended in one valley where their circles' numbers are
// within this all told: well above where a refinement stops (1e-5), well
// below a valley's width.
inline constexpr double kOnePlace = 1e-4;

// A sweep's nodes: their spacing in ln(h), a quarter, some 28% in
// height, through which a cubic follows the factor of safety and the
// steepest angle, smooth in ln(h), to well within their margins; nodes
// keyed in ticks of 1/kTicks of it, so that an interval's halvings are
// nodes too; and the least spacing an interval is halved to, in ticks, a
// thousandth of the height, where the lower end's value is taken.
inline constexpr double kNodeSpacing = 0.25;
inline constexpr std::int64_t kTicks = 1024;
inline constexpr std::int64_t kLeastSpacing = 4;

// A sweep's batches: where a cubic asks for nodes not solved yet, this
// many more up the widest spacing are solved with them, and a row is
// solved with the rows after it to this many in all; so that up to as
// many threads each have a height to solve, in batches that are the same
// on any number of them.
inline constexpr std::size_t kNodesAhead = 8;
inline constexpr std::size_t kRowsABatch = 4;

// How far, as a share of its radius, a critical circle's ends and depth
// may part from the cubics through its neighbours' before the circle is
// taken to have jumped to another valley.
inline constexpr double kCircleTolerance = 0.02;

// How far, in degrees, a slope's search at a height may start from the
// circles found for another slope there.  Further, its valleys may lie
// elsewhere (a sweep read 0.3 degrees steeper than the solver 40 degrees
// from the node's whole search).
inline constexpr double kWarmReach = 8;

// The solves a row costs, solved at its own height, and a node: a sweep
// whose rows cost fewer than the nodes it would need (without halvings)
// is solved at each row.  Where the steepest angle is scanned for, a row
// and a node cost the same scans, and the nodes halve many times over
// where an angle leaves 90 degrees and where critical circles jump: rows
// up to kScannedRowsANode times the nodes' count cost no more (under a
// water table, 0.5 to 20 m, 40 rows: 21 s against 25 s on nodes; 0.25 to
// 20 m, 80 rows: 43 s either way).
inline constexpr double kSolvesANode = 12;
inline constexpr double kSolvesARow = 8;
inline constexpr double kScannedRowsANode = 3.5;

// The steepest safe angle's search.  Where the factor of safety falls as
// the slope steepens: with nothing to go by, the first angle tried, and
// the factor of safety's slope guessed there, per degree; the secant's
// steps at least a quarter degree, so that one bracket a guess some
// hundredths off, and at most 16 degrees, so that a bracket stays near
// the searches before.
inline constexpr double kFirstAngle = 45;
inline constexpr double kGuessedSlope = -0.02;
inline constexpr double kLeastSecantStep = 0.25;
inline constexpr double kLongestSecantStep = 16;

// The longest step of the scan, in degrees: where the factor of safety is
// far above the target the bend allows longer ones, but a bracket then
// spans more than the crossing needs.
inline constexpr double kLongestScanStep = 8;

// The share of the longest step the bend allows that the scan takes: the
// whole of it is clear only where ln(fs) falls no faster than it did, and
// where it falls faster a halving follows, two solves for the step; nine
// tenths of it most often clear, one (over 4 wet, shaken and loaded
// sweeps, 6% fewer solves; 0.8 and 1 take more).
inline constexpr double kScanStepShare = 0.9;

// Where the scan sees the target within reach, how far past where the
// factor of safety would cross it, falling on as it did, its step goes.
inline constexpr double kScanPast = 1.3;

// False position's steps in a bracket, at most.
inline constexpr int kBracketSteps = 60;

// The solves a scan may take, at most (some 15 to 40 it takes, where the
// factor of safety runs close above the target for some degrees more):
// past them it stops where every flatter slope is known to reach the
// target.
inline constexpr std::size_t kScanSolves = 400;

// How far the logarithm of the critical factor of safety may bend upward
// between two angles, per square degree, at angles beta and above:
// kSteepestBend + kSteepestFlatBend / beta^2 (the second for flat slopes,
// where it follows ln(1 / tan(beta))), and kSteepestEventBend more within
// kSteepestEventReach degrees of an angle at which the water table meets
// the face or the crest's edge, where the ground's shape under the table
// changes.
inline constexpr double kSteepestBend = 0.15;
inline constexpr double kSteepestFlatBend = 2;
inline constexpr double kSteepestEventBend = 20;
inline constexpr double kSteepestEventReach = 0.5;

}  // namespace telk
