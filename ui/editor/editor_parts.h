#pragma once
// What the editor's files share beyond its window class: the mode choice,
// the profit rule and the fields in column order.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/editor/editor_window.h"

// Mode choice from the hand-off word and id, first matching rule wins.
EditorMode ChooseEditorMode(const std::string& word, std::int64_t id);

// Sale price minus purchase price plus commission, each read with
// TextToNumber, computed in double and held as single precision.
float ComputeProfit(std::string_view sale, std::string_view purchase, std::string_view commission);

// The fourteen fields in column order, as the statements take them.
std::array<QWidget*, 14> FieldsInColumnOrder(const Ui::EditorForm& ui);
