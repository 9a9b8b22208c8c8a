// SPDX-License-Identifier: MIT
// libFuzzer target: any sequence of key codes and keys, drop and click points (any double:
// negative, huge, NaN, infinite), presses that end as clicks or drags, commands, window sizes,
// prints that fail, paints, undo and redo, through Form1's handlers. After every step the board's
// invariants must hold, and an undo followed by a redo must leave the arrangement as it was.

#include "../BoardInvariants.h"
#include "../FakeToolkit.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

using namespace vantorel;

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    bool empty() const { return size == 0; }
    std::uint8_t byte()
    {
        if (!size)
            return 0;
        --size;
        return *data++;
    }
    template <typename T> T value()
    {
        T v {};
        std::uint8_t raw[sizeof(T)] {};
        for (auto& b : raw)
            b = byte();
        std::memcpy(&v, raw, sizeof(T));
        return v;
    }
};

void Require(const std::string& problem, const char* after)
{
    if (!problem.empty()) {
        std::fprintf(stderr, "after %s: %s\n", after, problem.c_str());
        std::abort();
    }
}

void RequireFinite(const RecordingCanvas& canvas)
{
    for (const auto& f : canvas.fills)
        if (!std::isfinite(f.rect.x) || !std::isfinite(f.rect.y) || !std::isfinite(f.rect.width)
            || !std::isfinite(f.rect.height)) {
            std::fprintf(stderr, "a fill at a point that is not finite\n");
            std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in {data, size};
    FakeToolkit toolkit;
    Form1 form(toolkit);
    form.formResize(1041, 741);
    form.formLoad();
    toolkit.onPrint = [&] {
        Require(BoardProblems(form.board(), true), "the print palette");
        if (in.byte() & 1)
            throw std::runtime_error("the printer failed");
    };
    toolkit.onDrag = [&] {
        if (in.byte() & 1)
            form.formDragDrop(in.value<double>(), in.value<double>());
    };

    while (!in.empty()) {
        switch (in.byte() % 11) {
        case 0:
            form.formKeyPress(in.value<char16_t>());
            break;
        case 1:
            form.formDragDrop(in.value<double>(), in.value<double>());
            break;
        case 2:
            toolkit.dragEnd = in.byte() & 1 ? DragEnd::Click : DragEnd::Drag;
            form.tokenMouseDown(int(in.byte() % 12) - 1, MouseButton(in.byte() % 4));
            break;
        case 3:
            form.commandClick(layout::Command(in.byte() % layout::kCommandCount));
            break;
        case 4:
            form.formResize(in.value<double>(), in.value<double>());
            break;
        case 5:
            form.cmdprintClick();
            break;
        case 6: {
            RecordingCanvas canvas;
            form.paintSurface(canvas, {0, 0, 1041, 741});
            PaintClientArea(canvas, form.board(), form.viewport(), {}, {0, 0, 1041, 741});
            RequireFinite(canvas);
            break;
        }
        case 7:
            form.clrrashiClick();
            break;
        case 8:
            form.formClick(in.value<double>(), in.value<double>());
            break;
        case 9: {
            const Key key = Key(in.byte() % (int(Key::Other) + 1));
            const std::uint8_t focus = in.byte();
            std::optional<ButtonRef> focused;
            if (focus < 12)
                focused = ButtonRef::token(int(focus) - 1);
            else if (focus < 12 + layout::kCommandCount)
                focused = ButtonRef::command(layout::Command(focus - 12));
            form.formKeyDown(key, in.byte() & 1, focused);
            break;
        }
        case 10: {
            const ChartBoard before = form.board();
            const bool undoable = form.history().undoable() > 0;
            form.editCommand(EditCommand::Undo);
            form.editCommand(EditCommand::Redo);
            if (undoable && !SameArrangement(form.board(), before)) {
                std::fprintf(stderr, "an undo and a redo changed the arrangement\n");
                std::abort();
            }
            break;
        }
        }
        Require(BoardProblems(form.board()), "a step");
    }
    return 0;
}
