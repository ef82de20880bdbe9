#pragma once
// Plain value types shared by the SDK and plugins.

struct LinearColor {
  float R = 0.0f;
  float G = 0.0f;
  float B = 0.0f;
  float A = 0.0f;
  friend bool operator==(const LinearColor&, const LinearColor&) = default;
};

// A position in game units.
struct Vector {
  float X = 0.0f;
  float Y = 0.0f;
  float Z = 0.0f;
  friend bool operator==(const Vector&, const Vector&) = default;
};

// A position or size on screen, in pixels.
struct Vector2F {
  float X = 0.0f;
  float Y = 0.0f;
  friend bool operator==(const Vector2F&, const Vector2F&) = default;
};

// A size or position on screen, in whole pixels.
struct Vector2 {
  int X = 0;
  int Y = 0;
  friend bool operator==(const Vector2&, const Vector2&) = default;
};
