// SPDX-License-Identifier: MIT
#pragma once

// Everything on the board that can change, and every change to it. A plain value: the window
// builds its controls from the layout, calls these operations from its handlers and shows the
// values it reads back.

#include "Layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vantorel {

struct TokenPosition {
    float left = 0;
    float top = 0;
    friend constexpr bool operator==(TokenPosition, TokenPosition) = default;
};

// What an operation changed since the window last looked; the window redraws only that.
enum class Change : std::uint8_t {
    None = 0,
    Tokens = 1 << 0,
    SignNames = 1 << 1, // visibility of the 24 names and the toggle's caption
    TextColours = 1 << 2,
    Palette = 1 << 3,
    Reserved = 1 << 4,
};
constexpr Change operator|(Change a, Change b)
{
    return static_cast<Change>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr bool Has(Change set, Change c)
{
    return (static_cast<std::uint8_t>(set) & static_cast<std::uint8_t>(c)) != 0;
}

// Round to the nearest integer, halves to the even neighbour, saturated to the 16-bit range.
std::int16_t RoundToInt16(float value);

class ChartBoard final {
public:
    ChartBoard();

    // Run once, after the window is built and before it is first shown.
    void StartUp();
    // Puts the token's top-left corner exactly on (x, y) twips: no clamping, no snapping.
    void MoveToken(int index, float x, float y);
    void ResetTokens();
    void ToggleSignNames();
    void ApplyPrintPalette();
    void RestoreScreenPalette();
    // Puts back what the user arranged on a board saved earlier (undo and redo): where every
    // token stands, and the names shown or hidden with the toggle's caption. The token last
    // pressed, the home positions and the colours stay as they are.
    void RestoreArrangement(const ChartBoard& saved);

    std::optional<int> PressedToken() const { return m_pressedToken; }
    void SetPressedToken(int index);

    TokenPosition Token(int index) const { return m_tokens.at(static_cast<std::size_t>(index)); }
    std::int16_t HomeLeft(int index) const
    {
        return m_homeLeft.at(static_cast<std::size_t>(index));
    }
    std::int16_t HomeTop(int index) const { return m_homeTop.at(static_cast<std::size_t>(index)); }

    bool WesternNameVisible(int sign) const { return m_westernVisible.at(Sign(sign)); }
    bool SanskritNameVisible(int sign) const { return m_sanskritVisible.at(Sign(sign)); }
    const std::string& ToggleCaption() const { return m_toggleCaption; }

    Colour WesternNameColour(int sign) const { return m_westernText.at(Sign(sign)); }
    Colour SanskritNameColour(int sign) const { return m_sanskritText.at(Sign(sign)); }

    Colour WindowBackground() const { return m_windowBackground; }
    Colour CaptionBackground(int index) const
    {
        return m_captionBackground.at(static_cast<std::size_t>(index));
    }
    Colour WesternNameBackground(int sign) const { return m_westernBackground.at(Sign(sign)); }
    Colour SanskritNameBackground(int sign) const { return m_sanskritBackground.at(Sign(sign)); }

    bool ReservedButtonVisible() const { return m_reservedVisible; }

    // What changed since the last call; clears the record.
    Change TakeChanges();

    friend bool operator==(const ChartBoard&, const ChartBoard&) = default;

private:
    static std::size_t Sign(int sign) { return static_cast<std::size_t>(sign); }
    void SetBackgrounds(Colour);
    void Mark(Change c) { m_changes.pending = m_changes.pending | c; }

    std::array<TokenPosition, layout::kTokenCount> m_tokens {};
    std::array<std::int16_t, layout::kTokenCount> m_homeLeft {};
    std::array<std::int16_t, layout::kTokenCount> m_homeTop {};
    std::optional<int> m_pressedToken;

    std::array<bool, layout::kSignCount> m_westernVisible {};
    std::array<bool, layout::kSignCount> m_sanskritVisible {};
    std::string m_toggleCaption;

    std::array<Colour, layout::kSignCount> m_westernText {};
    std::array<Colour, layout::kSignCount> m_sanskritText {};

    Colour m_windowBackground;
    std::array<Colour, layout::kCaptionCount> m_captionBackground {};
    std::array<Colour, layout::kSignCount> m_westernBackground {};
    std::array<Colour, layout::kSignCount> m_sanskritBackground {};

    bool m_reservedVisible = true;

    // Bookkeeping for the window, not part of the board's value.
    struct ChangeRecord {
        Change pending = Change::None;
        friend constexpr bool operator==(ChangeRecord, ChangeRecord) { return true; }
    };
    ChangeRecord m_changes;
};

} // namespace vantorel
