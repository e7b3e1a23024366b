#pragma once
// Every wait and limit of the long capture, in one place. Milliseconds
// unless said otherwise.

namespace ScreenCapture {

struct ScrollTimings {
  // A tip taken away before a grab (so that it is not grabbed with the page)
  // stays away this long, and the first grab of a step that took one waits as
  // long: the window below has repainted where the tip was by then. The
  // first frame of the capture waits as long for the window under the
  // selection to show again through the layered capture window.
  static constexpr int kTipAwayMs = 200;
  // The pause tip, shown or taken away by the automatic scrolling, stays
  // that long before the scrolling goes on, so that it is seen.
  static constexpr int kPauseTipMs = 200;
  // The tip at the maximum height stays up that long before the next wheel
  // step may start.
  static constexpr int kMaxHeightTipMs = 200;
  // Between the grabs of one step when no tip was taken away: just a yield,
  // the page is moving and every frame counts.
  static constexpr int kGrabIntervalMs = 5;
  // A step goes on grabbing while the page moves; once it has run this long,
  // the first frame that does not join ends it (a page scrolled by one notch
  // has come to rest by then, smooth scrolling included).
  static constexpr int kStepSettleMs = 200;
  // A page that never stops moving (an animation) ends its step after this
  // long all the same.
  static constexpr int kStepLimitMs = 10000;
  // A grabbed frame counts once a second grab this much later shows the same
  // pixels (a page still painting the rows its scroll revealed does not),
  // tried at most kSettleTries times.
  static constexpr int kFrameAgreeMs = 15;
  static constexpr int kSettleTries = 4;
  // Releases of the left button closer together than this are one click
  // (the second of a double click does not stop what the first started).
  static constexpr int kDoubleReleaseMs = 500;
  // The automatic scrolling injects one notch this often: slow enough that
  // each notch's step has ended, so the hook does not swallow it.
  static constexpr int kAutoNotchMs = 100;
  // A notch the step rule skipped is made up for by one more, this much
  // later, once the skipped one has gone through the hook.
  static constexpr int kMakeUpNotchMs = 20;
  // Finished make-up threads are joined once more than this many (a count,
  // not a time) have piled up.
  static constexpr int kMaxIdleInjectors = 16;
  // Stands in for an event that could not be made: how often the waiter
  // looks again.
  static constexpr int kPollWithoutEventMs = 10;
};

// The long image's maximum height in rows, unless c:\config.ini says
// otherwise.
inline constexpr int kDefaultMaxScrollHeight = 9000;

}  // namespace ScreenCapture
