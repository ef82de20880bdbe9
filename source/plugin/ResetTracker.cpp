// The hook handlers that turn game events into resets, chains and intervals.
#include <functional>

#include "PracticeCheck.h"
#include "QuillonPlugin.h"
#include "ResetHeight.h"

namespace {

// Ball centre height at rest and the span from there to the ceiling, in game units.
constexpr double kBallRestingHeight = 93.15;
constexpr double kBallHeightSpan = 1861.7;

float BallHeightPercent(const Vector& ballLocation) {
  return static_cast<float>((static_cast<double>(ballLocation.Z) - kBallRestingHeight) /
                            kBallHeightSpan * 100.0);
}

using quillon::recording::GameEvent;
using quillon::recording::GameMode;

struct HookedFunction {
  const char* name;
  void (QuillonPlugin::*handler)(std::string);
};

}  // namespace

void QuillonPlugin::HookGameFunctions() {
  static constexpr HookedFunction kHooks[] = {
      {"Function TAGame.GameEvent_TA.Init", &QuillonPlugin::OnGameEventInit},
      {"Function TAGame.GameEvent_TA.Destroyed", &QuillonPlugin::OnGameEventDestroyed},
      {"Function CarComponent_Jump_TA.Active.BeginState", &QuillonPlugin::OnJump},
      {"Function TAGame.Car_TA.EventLanded", &QuillonPlugin::OnCarLanded},
      {"Function CarComponent_Dodge_TA.Active.BeginState", &QuillonPlugin::OnDodge},
      {"Function TAGame.Ball_TA.EventHitGround", &QuillonPlugin::OnBallHitGround},
      {"Function GameEvent_Soccar_TA.Active.StartRound", &QuillonPlugin::OnRoundStart},
      {"Function TAGame.Ball_TA.Explode", &QuillonPlugin::OnBallExplode},
      {"Function TAGame.PlayerController_TA.OnOpenPauseMenu", &QuillonPlugin::OnPauseMenuOpened},
      {"Function ProjectX.GameInfo_X.RemovePauser", &QuillonPlugin::OnPauseRemoved},
  };
  for (const auto& hook : kHooks) {
    gameWrapper->HookEvent(hook.name, std::bind(hook.handler, this, std::placeholders::_1));
  }
}

void QuillonPlugin::OnGameEventInit(std::string /*eventName*/) {
  if (overlayRegistered) {
    RecordEvent(GameEvent::kInit);
    return;
  }
  // Held weakly: the host may let the plugin go before the check fires.
  gameWrapper->SetTimeout(
      [plugin = WeakSelf(), check = ++practiceChecks](GameWrapper*) {
        if (const auto self = plugin.lock()) self->CheckPracticeMode(check);
      },
      static_cast<float>(quillon::recording::kPracticeCheckSeconds));
  gameWrapper->RegisterDrawable(
      std::bind(&QuillonPlugin::DrawOverlay, this, std::placeholders::_1));
  overlayRegistered = true;
  awaitingDodge = false;
  ballExploded = false;
  chainEnded = true;
  BeginRecordingAtInit();
}

GameMode QuillonPlugin::ReadGameMode() {
  if (!gameWrapper->IsInGame()) return GameMode::kMenu;
  if (gameWrapper->IsInFreeplay()) return GameMode::kFreeplay;
  return gameWrapper->IsInCustomTraining() ? GameMode::kTraining : GameMode::kMatch;
}

void QuillonPlugin::CheckPracticeMode(std::uint64_t check) {
  const bool wasActive = practiceActive;
  const GameMode mode = ReadGameMode();
  practiceActive = mode == GameMode::kFreeplay || mode == GameMode::kTraining;
  RecordPracticeCheck(wasActive, mode, check);
}

void QuillonPlugin::OnGameEventDestroyed(std::string /*eventName*/) {
  RecordEvent(GameEvent::kDestroyed);
  RecordGameEventEnd();
  gameWrapper->UnregisterDrawables();
  FinishChain();
  record.intervalStopwatch.StopAndClear();
  overlayRegistered = false;
  awaitingDodge = false;
  ballExploded = false;
  chainEnded = true;
  practiceActive = false;
  pauseMenuOpen = false;
}

void QuillonPlugin::OnJump(std::string /*eventName*/) {
  RecordEvent(GameEvent::kJump);
  if (ballExploded || !chainEnded || !practiceActive) return;
  FinishChain();
  record.Clear();
  recordingFeed.MarkIndependent();
  awaitingDodge = false;
  chainEnded = false;
}

void QuillonPlugin::OnCarLanded(std::string /*eventName*/) {
  if (awaitingDodge || ballExploded || !practiceActive) {
    RecordEvent(GameEvent::kLanded);
    return;
  }
  ServerWrapper gameState = gameWrapper->GetCurrentGameState();
  if (!gameState) {
    RecordLanding(false, nullptr, nullptr);
    return;
  }
  BallWrapper ball = gameState.GetBall();
  if (!ball) {
    RecordLanding(true, nullptr, nullptr);
    return;
  }
  const Vector ballLocation = ball.GetLocation();
  const float height = BallHeightPercent(ballLocation);
  CarWrapper car = gameWrapper->GetLocalCar();
  if (car.IsNull()) {
    RecordLanding(true, &ballLocation, nullptr);
    return;
  }
  const Vector carLocation = car.GetLocation();
  RecordLanding(true, &ballLocation, &carLocation);
  if (!(carLocation.Z > quillon::kResetCarHeight)) return;
  awaitingDodge = true;
  // A reset from a stopwatch at rest sets all three values afresh.
  if (!record.intervalStopwatch.running) recordingFeed.MarkIndependent();
  record.RegisterReset(height, pauseMenuOpen);
  CountReset();
}

void QuillonPlugin::OnDodge(std::string /*eventName*/) {
  RecordEvent(GameEvent::kDodge);
  if (ballExploded || !practiceActive) return;
  awaitingDodge = false;
}

void QuillonPlugin::OnBallHitGround(std::string /*eventName*/) {
  RecordEvent(GameEvent::kBallGround);
  if (ballExploded || !practiceActive) return;
  chainEnded = true;
}

void QuillonPlugin::OnRoundStart(std::string /*eventName*/) {
  RecordEvent(GameEvent::kRoundStart);
  if (!practiceActive) return;
  FinishChain();
  record.Clear();
  recordingFeed.MarkIndependent();
  awaitingDodge = true;
  ballExploded = false;
  chainEnded = true;
}

void QuillonPlugin::OnBallExplode(std::string /*eventName*/) {
  RecordEvent(GameEvent::kExplode);
  if (!practiceActive) return;
  ballExploded = true;
}

void QuillonPlugin::OnPauseMenuOpened(std::string /*eventName*/) {
  RecordEvent(GameEvent::kPause);
  if (!practiceActive) return;
  pauseMenuOpen = true;
  record.intervalStopwatch.StopForPause();
}

void QuillonPlugin::OnPauseRemoved(std::string /*eventName*/) {
  RecordEvent(GameEvent::kUnpause);
  if (!practiceActive) return;
  pauseMenuOpen = false;
  record.intervalStopwatch.ResumeAfterPause();
}
