// The four animations of the reciprocal-space chart ("Move", "Rot.K", "Rot.R", "Boublik") and
// the frame loop they share.
//
// The frame loop is the program's only animation clock: Timer1 raises Settings.TimerTicks, the
// loop draws a frame whenever the counter has changed and pumps the window's messages between
// frames, so the whole window stays live and any command can run nested inside the loop.
// Switching Timer1 off ends the running animation after the current pass: every recompute does
// it (so a command clicked meanwhile ends the animation), and so do the scene reset and the
// lecture keys.
#pragma once

#include <cstdint>
#include <functional>

#include "scenes/SceneContext.h"

namespace korvex {

class TVisStructure;

// What the animations ask of the window: its timer, its message pump and the recompute cycle.
// Implemented by the main window; scenes never include a window header.
class IAnimationHost {
 public:
  virtual ~IAnimationHost() = default;
  // The recompute cycle of every drawing command (it switches Timer1 off and sets
  // Settings.TimerTicks to 0).
  virtual void RunRecompute() = 0;
  // Settings record back to the controls; switches Timer1 off.
  virtual void RunWriteSettings() = 0;
  virtual void StartTimer() = 0;
  virtual void StopTimer() = 0;
  virtual bool TimerEnabled() const = 0;
  // The one-shot message pump: handles the pending window messages and returns (while Timer1
  // runs it may wait for the next message, which is at latest the next tick).
  virtual void PumpOnce() = 0;
};

struct TAnimationContext {
  TSceneContext& Scene;
  IAnimationHost& Host;
};

// How a frame loop ends.
struct TFrameLoopRule {
  int32_t Steps = 50;      // A
  bool PastSteps = false;  // end when t > A ("Rot.R") instead of t >= A
  bool Fast = false;       // no timer: every pass is the next tick and nothing is pumped
};

// The shared frame loop. Sets Settings.TimerTicks to 0 and, unless fast, switches Timer1 on;
// then, while Timer1 is on (fast: until the end), draws frame(t) whenever the counter t has
// changed, pumps the messages and, once t reaches the rule's end, switches Timer1 off and
// returns. alive, checked on every pass, ends the loop early when it turns false. Returns the
// number of frames drawn.
int32_t RunFrameLoop(IAnimationHost& host, const TFrameLoopRule& rule,
                     const std::function<void(int32_t t)>& frame,
                     const std::function<bool()>& alive = {});

// The tick of Timer1: Settings.TimerTicks + 1.
void AnimationTick();

// Ends the running animation (and a completed "Move"'s running timer): Timer1 off.
void StopAnimation(IAnimationHost& host);

// "Move": K0 and Kh through an omega, 2theta or omega/N-theta scan, symmetric about the
// reflection position, with the path of the scattering vector traced in Chart2 (eleven points
// a frame in detector view). Nothing with neither scan box ticked; no loop when the
// ReciprocalLines range already holds 100 series.
void AnimateMove(TAnimationContext& anim, TVisStructure& structure);

// "Rot.K": K0 and Kh turned once about H; the centres -K0 of the Ewald spheres traced in blue
// with red points. Ends before its loop at the series limit, as "Move" does.
void AnimateRotK(TAnimationContext& anim, TVisStructure& structure);

// "Rot.R": the reciprocal lattice turned about the surface normal by 90/A degrees a frame, A + 1
// frames; leaves Settings.Phi at 0.
void AnimateRotRec(TAnimationContext& anim, TVisStructure& structure);

// "Boublik": K0 swung from (-K, 0, 0) by 180/A degrees a frame in the plane of incidence,
// leaving the Ewald sphere of each incident wave in SeriesSphereKh.
void AnimateBoublik(TAnimationContext& anim, TVisStructure& structure);

// A new trace series of Chart2 at the end of the ReciprocalLines range, pointer hidden, with
// the given line width and colour; nullptr, with the counter left at 99, when the range
// already holds 100 series.
TPoint3DSeries* AddTraceSeries(TSceneContext& scene, int32_t width, TColor colour);
// The line width of the scan traces: 1 in detector view, else half the pool's line width.
int32_t ScanTraceWidth(const TSceneContext& scene);
// The series the trace being drawn goes to: the one at the current end of the ReciprocalLines
// range (read anew for every point), nullptr when the range is empty.
TPoint3DSeries* CurrentTrace(TSceneContext& scene);

}  // namespace korvex
