#include "PeerOverlay.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

namespace bench {
namespace {

std::string Fixed(float value, int decimals) {
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  stream << std::fixed << std::setprecision(decimals) << value;
  return stream.str();
}

}  // namespace

void PeerDrawOverlay(QuillonPlugin& p, CanvasWrapper canvas) {
  if (!p.gameWrapper->IsInGame()) return;
  if (!p.gameWrapper->IsInFreeplay() && !p.gameWrapper->IsInCustomTraining()) return;
  if (!*p.enabled) return;
  if (*p.rgbEnabled) {
    const float step = *p.rgbSpeed * 0.005f;
    const float phase = static_cast<float>(p.colorPhase) * step;
    canvas.SetColor(static_cast<char>(static_cast<int>(std::sin(phase) * 128.0f + 127.0f)),
                    static_cast<char>(static_cast<int>(std::sin(phase + 2.0f) * 128.0f + 127.0f)),
                    static_cast<char>(static_cast<int>(std::sin(phase + 4.0f) * 128.0f + 127.0f)),
                    static_cast<char>(255));
    ++p.colorPhase;
    if (p.colorPhase >= 6.28 / static_cast<double>(step)) p.colorPhase = 0;
  } else {
    canvas.SetColor(*p.textColor);
  }
  const std::string texts[6] = {
      std::string("Resets: "), std::to_string(static_cast<unsigned>(p.record.resetCount)),
      std::string("Height: "), Fixed(p.record.resetHeight, *p.heightDecimal ? 2 : 0),
      std::string("Time: "),   Fixed(static_cast<float>(p.record.resetInterval), 2),
  };
  const LinearColor* colors[6] = {p.resetLabelColor.get(),  p.resetNumberColor.get(),
                                  p.heightLabelColor.get(), p.heightNumberColor.get(),
                                  p.timeLabelColor.get(),   p.timeNumberColor.get()};
  const float x = static_cast<float>(*p.positionX);
  const float step = static_cast<float>(static_cast<int>(*p.textSize * 0.5f * 30.0f));
  float top = static_cast<float>(*p.positionY);
  for (int line = 0; line < 3; ++line) {
    for (int part = 0; part < 2; ++part) {
      const int text = line * 2 + part;
      if (part == 1) {
        const float width = canvas.GetStringSize(texts[text - 1], *p.textSize, *p.textSize).X;
        canvas.SetPosition(Vector2F{x + width, top});
      } else {
        canvas.SetPosition(Vector2F{x, top});
      }
      if (!*p.rgbEnabled && !*p.sameColorEnabled) canvas.SetColor(*colors[text]);
      canvas.DrawString(texts[text], *p.textSize, *p.textSize, *p.dropShadows, false);
    }
    top += step;
  }
}

}  // namespace bench
