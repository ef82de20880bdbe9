// The hook handlers that turn game events into resets, chains and intervals.
#include <functional>

#include "QuillonPlugin.h"

namespace {

constexpr float kPracticeCheckDelaySeconds = 3.0f;
// A landing counts as a reset only with the car this far up (game units).
constexpr float kAirborneHeight = 25.0f;
// Ball centre height at rest and the span from there to the ceiling, in game units.
constexpr double kBallRestingHeight = 93.15;
constexpr double kBallHeightSpan = 1861.7;

float BallHeightPercent(const Vector& ballLocation) {
  return static_cast<float>((static_cast<double>(ballLocation.Z) - kBallRestingHeight) /
                            kBallHeightSpan * 100.0);
}

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
  if (overlayRegistered) return;
  // Held weakly: the host may let the plugin go before the check fires.
  gameWrapper->SetTimeout(
      [plugin = WeakSelf()](GameWrapper*) {
        if (const auto self = plugin.lock()) self->CheckPracticeMode();
      },
      kPracticeCheckDelaySeconds);
  gameWrapper->RegisterDrawable(
      std::bind(&QuillonPlugin::DrawOverlay, this, std::placeholders::_1));
  overlayRegistered = true;
  awaitingDodge = false;
  ballExploded = false;
  chainEnded = true;
}

void QuillonPlugin::CheckPracticeMode() {
  if (!gameWrapper->IsInGame()) {
    practiceActive = false;
    return;
  }
  if (gameWrapper->IsInFreeplay()) {
    practiceActive = true;
    return;
  }
  practiceActive = gameWrapper->IsInCustomTraining();
}

void QuillonPlugin::OnGameEventDestroyed(std::string /*eventName*/) {
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
  if (ballExploded || !chainEnded || !practiceActive) return;
  FinishChain();
  record.Clear();
  awaitingDodge = false;
  chainEnded = false;
}

void QuillonPlugin::OnCarLanded(std::string /*eventName*/) {
  if (awaitingDodge || ballExploded || !practiceActive) return;
  const ServerWrapper gameState = gameWrapper->GetCurrentGameState();
  if (!gameState) return;
  const BallWrapper ball = gameState.GetBall();
  if (!ball) return;
  const float height = BallHeightPercent(ball.GetLocation());
  const CarWrapper car = gameWrapper->GetLocalCar();
  if (car.IsNull()) return;
  if (!(car.GetLocation().Z > kAirborneHeight)) return;
  awaitingDodge = true;
  record.RegisterReset(height, pauseMenuOpen);
  CountReset();
}

void QuillonPlugin::OnDodge(std::string /*eventName*/) {
  if (ballExploded || !practiceActive) return;
  awaitingDodge = false;
}

void QuillonPlugin::OnBallHitGround(std::string /*eventName*/) {
  if (ballExploded || !practiceActive) return;
  chainEnded = true;
}

void QuillonPlugin::OnRoundStart(std::string /*eventName*/) {
  if (!practiceActive) return;
  FinishChain();
  record.Clear();
  awaitingDodge = true;
  ballExploded = false;
  chainEnded = true;
}

void QuillonPlugin::OnBallExplode(std::string /*eventName*/) {
  if (!practiceActive) return;
  ballExploded = true;
}

void QuillonPlugin::OnPauseMenuOpened(std::string /*eventName*/) {
  if (!practiceActive) return;
  pauseMenuOpen = true;
  record.intervalStopwatch.StopForPause();
}

void QuillonPlugin::OnPauseRemoved(std::string /*eventName*/) {
  if (!practiceActive) return;
  pauseMenuOpen = false;
  record.intervalStopwatch.ResumeAfterPause();
}
