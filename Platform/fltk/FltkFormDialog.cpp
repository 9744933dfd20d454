#include "Platform/fltk/FltkFormDialog.h"

#include "Platform/core/Localization.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>

#include <algorithm>
#include <memory>

namespace Platform {

namespace {

constexpr int labelWidth = 150;
constexpr int fieldWidth = 220;
constexpr int rowHeight = 30;
constexpr int margin = 12;

// Menu texts treat '/', '&' and '_' specially; a choice shows them as typed.
std::string menuText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '/' || c == '&' || c == '_' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

} // namespace

bool FltkFormDialog::ask(const std::string& title, std::vector<UserDialogs::FormField>& fields) {
    const int height = margin * 3 + rowHeight * (static_cast<int>(fields.size()) + 1);
    Fl_Double_Window window(labelWidth + fieldWidth + 2 * margin, height, title.c_str());
    std::vector<Fl_Input*> inputs(fields.size(), nullptr);
    std::vector<Fl_Choice*> choices(fields.size(), nullptr);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int y = margin + rowHeight * static_cast<int>(i);
        const UserDialogs::FormField& field = fields[i];
        if (field.choices.empty()) {
            inputs[i] = new Fl_Input(margin + labelWidth, y, fieldWidth, rowHeight - 6);
            inputs[i]->value(field.value.c_str());
            inputs[i]->copy_label(field.label.c_str());
            continue;
        }
        choices[i] = new Fl_Choice(margin + labelWidth, y, fieldWidth, rowHeight - 6);
        choices[i]->copy_label(field.label.c_str());
        for (const std::string& choice : field.choices)
            choices[i]->add(menuText(choice).c_str());
        const auto chosen = std::find(field.choices.begin(), field.choices.end(), field.value);
        choices[i]->value(
            chosen == field.choices.end() ? 0 : static_cast<int>(chosen - field.choices.begin()));
    }
    const std::string okText = localized("OK"), cancelText = localized("Cancel");
    const int buttonY = height - margin - rowHeight;
    auto* cancel = new Fl_Button(window.w() - margin - 2 * 100 - 8, buttonY, 100, rowHeight,
                                 cancelText.c_str());
    auto* ok =
        new Fl_Return_Button(window.w() - margin - 100, buttonY, 100, rowHeight, okText.c_str());
    window.end();

    // The window's close box and Cancel both answer Cancel.
    enum class Answer { none, ok, cancel } answer = Answer::none;
    // Hiding the window ends the wait below, as in FLTK's own dialogs.
    auto answerWith = [](Fl_Widget* widget, void* data) {
        *static_cast<Answer*>(data) = Answer::cancel;
        (widget->window() ? widget->window() : widget->as_window())->hide();
    };
    window.callback(answerWith, &answer);
    cancel->callback(answerWith, &answer);
    ok->callback(
        [](Fl_Widget* widget, void* data) {
            *static_cast<Answer*>(data) = Answer::ok;
            widget->window()->hide();
        },
        &answer);
    window.set_modal();
    window.show();
    while (window.shown())
        Fl::wait();
    window.hide();
    if (answer != Answer::ok)
        return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (inputs[i])
            fields[i].value = inputs[i]->value();
        else if (choices[i] && choices[i]->value() >= 0)
            fields[i].value = fields[i].choices.at(static_cast<std::size_t>(choices[i]->value()));
    }
    return true;
}

} // namespace Platform
