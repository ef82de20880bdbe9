#pragma once
// Names of the plugin's configuration variables.

namespace quillon::cvar {

inline constexpr const char* kEnabled = "quillon_enabled";
inline constexpr const char* kPositionX = "quillon_posx";
inline constexpr const char* kPositionY = "quillon_posy";
inline constexpr const char* kTextSize = "quillon_textsize";
inline constexpr const char* kDropShadows = "quillon_dropshadows";
inline constexpr const char* kHeightDecimal = "quillon_heightdecimal";
inline constexpr const char* kSameColorEnabled = "quillon_samecolorenabled";
inline constexpr const char* kTextColor = "quillon_color";
inline constexpr const char* kResetLabelColor = "quillon_resetcolor";
inline constexpr const char* kResetNumberColor = "quillon_resetnumcolor";
inline constexpr const char* kHeightLabelColor = "quillon_heightcolor";
inline constexpr const char* kHeightNumberColor = "quillon_heightnumcolor";
inline constexpr const char* kTimeLabelColor = "quillon_timecolor";
inline constexpr const char* kTimeNumberColor = "quillon_timenumcolor";
inline constexpr const char* kRgbEnabled = "quillon_rgb_enabled";
inline constexpr const char* kRgbSpeed = "quillon_rgb_speed";
// Registered after the sixteen above.
inline constexpr const char* kKeepOnScreen = "quillon_keep_on_screen";
inline constexpr const char* kAnnounceBest = "quillon_announce_best";
inline constexpr const char* kRecordSessions = "quillon_record";

}  // namespace quillon::cvar
