#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "BakkesModPlugin.h"
#include "ChainLogWriter.h"
#include "NewBestWatch.h"
#include "OverlayLines.h"
#include "PluginSettingsWindow.h"
#include "PracticeStatistics.h"
#include "RecordingFeed.h"
#include "RecordingNames.h"
#include "RecordingStatus.h"
#include "RecordingWriter.h"
#include "ResetRecord.h"

// Counts resets (landings with the car in the air) while the player practises alone, and shows
// the count, the ball's height and the time between the last two resets on screen.
class QuillonPlugin : public BakkesMod::Plugin::BakkesModPlugin,
                      public BakkesMod::Plugin::PluginSettingsWindow {
 public:
  // --- Lifecycle (QuillonPlugin.cpp) -------------------------------------------------------------
  void onLoad() override;
  void onUnload() override;

  // --- Drawing (OverlayRenderer.cpp) -------------------------------------------------------------
  // Draws the three lines of the overlay, when in free play or custom training and enabled.
  virtual void DrawOverlay(CanvasWrapper canvas);

  // --- Settings page (SettingsPage.cpp) -------------------------------------------------------
  void DrawSettingsPage() override;
  std::string GetSettingsTitle() override;
  void AttachGuiContext(std::uintptr_t context) override;

  // --- Bound values of the configuration variables (ConfigVariables.cpp) -------------------------
  // The host keeps each equal to its variable; the plugin only reads them.
  std::shared_ptr<bool> enabled;
  std::shared_ptr<int> positionX;
  std::shared_ptr<int> positionY;
  std::shared_ptr<float> textSize;
  std::shared_ptr<bool> dropShadows;
  std::shared_ptr<bool> heightDecimal;
  std::shared_ptr<bool> sameColorEnabled;
  std::shared_ptr<LinearColor> textColor;
  std::shared_ptr<LinearColor> resetLabelColor;
  std::shared_ptr<LinearColor> resetNumberColor;
  std::shared_ptr<LinearColor> heightLabelColor;
  std::shared_ptr<LinearColor> heightNumberColor;
  std::shared_ptr<LinearColor> timeLabelColor;
  std::shared_ptr<LinearColor> timeNumberColor;
  std::shared_ptr<bool> rgbEnabled;
  std::shared_ptr<float> rgbSpeed;

  // --- Reset tracker state (ResetTracker.cpp) ----------------------------------------------------
  quillon::ResetRecord record;
  bool overlayRegistered = false;  // drawable and practice check registered for this game event
  bool awaitingDodge = false;      // a reset (or a round start) waits for a dodge
  bool ballExploded = false;       // play handlers rest until the next round or game event
  bool chainEnded = false;         // the next jump starts a new chain
  bool practiceActive = false;     // the last practice check found free play or custom training
  bool pauseMenuOpen = false;      // play goes on behind it, but its time is no chain's

  // --- Overlay state (OverlayRenderer.cpp) -------------------------------------------------------
  std::int32_t colorPhase = 0;  // frames into the colour cycle

  // --- Practice statistics (PracticeHistory.cpp) -------------------------------------------------
  // Fed by the tracker; read by the settings page, from another thread in the real host.
  quillon::PracticeStatistics statistics;
  quillon::ChainLogWriter chainLogWriter;
  bool chainLogRetryScheduled = false;  // a retry of the chain log's waiting chains is due

  // --- Beyond the sixteen: bound values of the later settings (ConfigVariables.cpp) -----------
  std::shared_ptr<bool> keepOnScreen;  // the overlay moves back onto a smaller screen
  std::shared_ptr<bool> announceBest;  // a toast when a chain passes the all-time best
  quillon::NewBestWatch newBestWatch;

  // --- Practice recording (SessionRecording.cpp) -----------------------------------------------
  // Each practice game event as a session script in the data folder, while the switch is on.
  std::shared_ptr<bool> recordSessions;
  quillon::recording::RecordingStatus recordingStatus;  // the page's line; outlives the writer
  quillon::recording::RecordingNames recordingNames;
  std::unique_ptr<quillon::recording::RecordBuffer> recordBuffer;
  std::unique_ptr<quillon::recording::RecordingWriter> recordingWriter;
  quillon::recording::RecordingFeed recordingFeed;
  bool recordingWanted = false;      // the switch as last seen
  bool recordingLoaded = false;      // between load and unload
  bool recordingChecked = false;     // the recording's practice check has found practice
  std::uint64_t practiceChecks = 0;  // practice checks scheduled so far
  std::uint64_t recordingCheck = 0;  // the one that decides the recording held back
  std::int64_t recordingUtc = 0;     // when the recording began, for its file's name
  // The host's frame line for a recorded frame that shows the overlay (OverlayRenderer.cpp).
  static std::string RecordedOverlayText(const quillon::recording::FrameStep& frame);

  // --- The overlay's texts (OverlayRenderer.cpp) -------------------------------------------------
  // Kept from frame to frame, so a frame like the last writes no text.
  quillon::OverlayLines overlayLines;

 private:
  // --- Configuration variables (ConfigVariables.cpp) ---------------------------------------------
  void RegisterVariables();

  // --- Settings page widgets (SettingsWidgets.cpp) -----------------------------------------------
  // Each looks its variable up by name and draws nothing when the registry does not know it.
  void CheckboxSetting(const char* variable, const char* label);
  void IntSliderSetting(const char* variable, const char* label, int minimum, int maximum);
  void FloatSliderSetting(const char* variable, const char* label, float minimum, float maximum,
                          const char* format);
  void ColorSetting(const char* variable, const char* label);

  // --- Statistics on the settings page (StatisticsPage.cpp) --------------------------------------
  void DrawStatistics();
  // The practice days below the latest chains (PracticeDaysPage.cpp).
  void DrawPracticeDays(const quillon::StatisticsSnapshot& figures);

  // --- Practice statistics (PracticeHistory.cpp) -------------------------------------------------
  // Reads the chain log and registers the clear command.
  void LoadStatistics();
  // The tracker's two moments: a reset counted into the record, and a chain that can grow no more.
  void CountReset();
  void FinishChain();
  void RecordChain(const quillon::ChainFigures& chain);
  // While chains wait for a chain log that failed: a retry every few seconds of game time.
  void ScheduleChainLogRetry();
  // Finishes the chain going on, writes what it can and reports what could not be written.
  void StopChainLog();
  // Shows a toast when the reset just counted takes the chain past the old best
  // (BestChainToast.cpp).
  void AnnounceNewBest(std::uint32_t bestBefore);
  // Clears the session figures on the game thread, as the page's other writes are made.
  void ClearStatisticsLater();

  // --- Hook handlers (ResetTracker.cpp); the game function's name is ignored -----------------
  void HookGameFunctions();
  void OnGameEventInit(std::string eventName);
  void OnGameEventDestroyed(std::string eventName);
  void OnJump(std::string eventName);
  void OnCarLanded(std::string eventName);
  void OnDodge(std::string eventName);
  void OnBallHitGround(std::string eventName);
  void OnRoundStart(std::string eventName);
  void OnBallExplode(std::string eventName);
  void OnPauseMenuOpened(std::string eventName);
  void OnPauseRemoved(std::string eventName);
  // Decides, once per game event, whether the play handlers work; `check` counts the checks.
  void CheckPracticeMode(std::uint64_t check);
  // What IsInGame, IsInFreeplay and IsInCustomTraining answer, asked in that order.
  quillon::recording::GameMode ReadGameMode();

  // --- Practice recording (SessionRecording.cpp) -----------------------------------------------
  void StartRecordingWriter();
  void StopRecording();
  // The switch changed: begins or ends a recording.
  void RecordingSwitched();
  void BeginRecordingAtInit();
  void BeginRecordingInPlay();
  // Ends the recording under way, and the page's line with it.
  void EndRecording(quillon::recording::EndReason reason);
  // Where the host's time is virtual, waits for the writer to say what came of the recording's
  // begin or open.
  void WriterCatchesUp();
  void RecordPracticeCheck(bool wasActive, quillon::recording::GameMode mode, std::uint64_t check);
  void RecordEvent(quillon::recording::GameEvent event);
  void RecordGameEventEnd();
  // What a landing read (null where it found nothing, or stopped before asking), then the event.
  void RecordLanding(bool gameState, const Vector* ball, const Vector* car);
  // The two above once a recording is under way: the hook's time read at once, then its steps.
  void RecordEventHanded(quillon::recording::GameEvent event);
  void RecordLandingRead(bool gameState, const Vector* ball, const Vector* car);
  // A frame's start: the switch and the mode; whether a recording takes the frame.
  bool RecordFrameStart(quillon::recording::GameMode mode);
  void DrawRecordingLine();
  // A reference to this object that does not keep it alive; empty once the module lets it go.
  std::weak_ptr<QuillonPlugin> WeakSelf();
};

// Inline: every hook and frame passes here, and most find nothing to do.
inline void QuillonPlugin::RecordEvent(quillon::recording::GameEvent event) {
  if (*recordSessions != recordingWanted) RecordingSwitched();
  if (recordingFeed.Active()) RecordEventHanded(event);
}

inline void QuillonPlugin::RecordLanding(bool gameState, const Vector* ball, const Vector* car) {
  if (*recordSessions != recordingWanted) RecordingSwitched();
  if (recordingFeed.Active()) RecordLandingRead(gameState, ball, car);
}

inline bool QuillonPlugin::RecordFrameStart(quillon::recording::GameMode mode) {
  if (*recordSessions != recordingWanted) RecordingSwitched();
  if (!recordingFeed.Active()) return false;
  recordingFeed.NewMoment();
  recordingFeed.Mode(mode);
  return true;
}
