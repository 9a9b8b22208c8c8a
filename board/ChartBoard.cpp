// SPDX-License-Identifier: MIT
#include "ChartBoard.h"

#include <cmath>
#include <limits>

namespace vantorel {

using namespace layout;

std::int16_t RoundToInt16(float value)
{
    constexpr float lo = std::numeric_limits<std::int16_t>::min();
    constexpr float hi = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(value))
        return 0;
    if (value <= lo)
        return std::numeric_limits<std::int16_t>::min();
    if (value >= hi)
        return std::numeric_limits<std::int16_t>::max();
    // Not nearbyint: the result must not depend on the thread's rounding mode.
    const float floor = std::floor(value);
    const float diff = value - floor;
    float rounded = floor;
    if (diff > 0.5f || (diff == 0.5f && std::fmod(floor, 2.0f) != 0.0f))
        rounded = floor + 1.0f;
    return static_cast<std::int16_t>(rounded);
}

ChartBoard::ChartBoard()
    : m_toggleCaption(CommandRow(Command::ToggleNames).caption)
    , m_windowBackground(kWindow.background)
{
    for (std::size_t i = 0; i < kTokenCount; ++i)
        m_tokens[i]
            = {static_cast<float>(kTokens[i].rect.left), static_cast<float>(kTokens[i].rect.top)};
    for (std::size_t i = 0; i < kSignCount; ++i) {
        m_westernVisible[i] = true;
        m_sanskritVisible[i] = true;
        m_westernText[i] = kWesternNames[i].text;
        m_sanskritText[i] = kSanskritNames[i].text;
        m_westernBackground[i] = kWesternNames[i].background;
        m_sanskritBackground[i] = kSanskritNames[i].background;
    }
    for (std::size_t i = 0; i < kCaptionCount; ++i)
        m_captionBackground[i] = kCaptions[i].background;
}

void ChartBoard::StartUp()
{
    // Home is wherever the tokens stand now, which just after the window is built is the tray.
    for (std::size_t i = 0; i < kTokenCount; ++i) {
        m_homeLeft[i] = RoundToInt16(m_tokens[i].left);
        m_homeTop[i] = RoundToInt16(m_tokens[i].top);
    }
    for (std::size_t i = 0; i < kSignCount; ++i) {
        m_westernText[i] = kWesternNameText;
        m_sanskritText[i] = kSanskritNameText;
    }
    m_reservedVisible = false;
    Mark(Change::TextColours | Change::Reserved);
}

void ChartBoard::MoveToken(int index, float x, float y)
{
    // A drop point is always finite and a token always exists; anything else would leave the
    // board unrepresentable on screen, so it is refused rather than stored.
    if (index < 0 || index >= kTokenCount || !std::isfinite(x) || !std::isfinite(y))
        return;
    m_tokens[static_cast<std::size_t>(index)] = {x, y};
    Mark(Change::Tokens);
}

void ChartBoard::ResetTokens()
{
    for (std::size_t i = 0; i < kTokenCount; ++i) {
        const TokenPosition home {
            static_cast<float>(m_homeLeft[i]), static_cast<float>(m_homeTop[i])};
        if (m_tokens[i] != home) {
            m_tokens[i] = home;
            Mark(Change::Tokens);
        }
    }
}

void ChartBoard::ToggleSignNames()
{
    const std::string_view shownCaption = CommandRow(Command::ToggleNames).caption;
    // The caption is the toggle's state. It is written only at the end, so the second test still
    // reads the old caption and one call never both hides and shows.
    std::string caption = m_toggleCaption;
    if (m_toggleCaption == shownCaption) {
        for (std::size_t i = 0; i < kSignCount; ++i) {
            m_westernVisible[i] = false;
            m_sanskritVisible[i] = false;
        }
        caption = kShowNamesCaption;
    }
    if (m_toggleCaption == kShowNamesCaption) {
        for (std::size_t i = 0; i < kSignCount; ++i) {
            m_westernVisible[i] = true;
            m_sanskritVisible[i] = true;
        }
        caption = shownCaption;
    }
    m_toggleCaption = std::move(caption);
    Mark(Change::SignNames);
}

void ChartBoard::SetBackgrounds(Colour c)
{
    m_windowBackground = c;
    for (std::size_t i = 0; i < kCaptionCount; ++i)
        m_captionBackground[i] = c;
    for (std::size_t i = 0; i < kSignCount; ++i) {
        m_westernBackground[i] = c;
        m_sanskritBackground[i] = c;
    }
    Mark(Change::Palette);
}

void ChartBoard::ApplyPrintPalette()
{
    SetBackgrounds(kPrintPalette);
}

void ChartBoard::RestoreScreenPalette()
{
    SetBackgrounds(kScreenPalette);
}

void ChartBoard::RestoreArrangement(const ChartBoard& saved)
{
    if (m_tokens != saved.m_tokens) {
        m_tokens = saved.m_tokens;
        Mark(Change::Tokens);
    }
    if (m_westernVisible != saved.m_westernVisible || m_sanskritVisible != saved.m_sanskritVisible
        || m_toggleCaption != saved.m_toggleCaption) {
        m_westernVisible = saved.m_westernVisible;
        m_sanskritVisible = saved.m_sanskritVisible;
        m_toggleCaption = saved.m_toggleCaption;
        Mark(Change::SignNames);
    }
}

void ChartBoard::SetPressedToken(int index)
{
    if (index >= 0 && index < kTokenCount)
        m_pressedToken = index;
}

Change ChartBoard::TakeChanges()
{
    const Change c = m_changes.pending;
    m_changes.pending = Change::None;
    return c;
}

} // namespace vantorel
