#pragma once
// The tests' screen: keeps every property like the real window would and
// records what the logic did, so tests can say "LabelProgress showed X,
// Label2 went green".
#include <algorithm>
#include <string>
#include <vector>

#include "StoredScreen.h"

namespace tovrel::test {

struct ScreenEvent {
    std::string control;
    Property property;
    PropertyValue value;
};

class RecordingScreen : public StoredScreen {
public:
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<ScreenEvent> events;
    std::vector<int> pages;
    std::vector<std::string> file_choices;  // answers for ChooseFile, in order; empty = cancel
    std::vector<FileDialogMode> file_modes;  // what each file dialog was opened for
    int beeps = 0;
    std::vector<std::string> questions;  // every Confirm, in order
    bool confirm_answer = false;         // what the user answers them
    struct Tone {
        int hz = 0, ms = 0;
        friend bool operator==(const Tone&, const Tone&) = default;
    };
    std::vector<Tone> tones;  // every beep's pitch and length, in order
    // Called for every message; lets a test react as a user would.
    std::function<void(const std::string&)> on_message;

    void ShowError(std::string_view text) override { errors.emplace_back(text); }
    std::optional<std::string> ChooseFile(std::string_view, FileDialogMode mode, std::string_view) override {
        file_modes.push_back(mode);
        if (file_choices.empty()) return std::nullopt;
        auto f = file_choices.front();
        file_choices.erase(file_choices.begin());
        if (f.empty()) return std::nullopt;
        return f;
    }
    void Beep(int frequencyHz, int durationMs) override {
        ++beeps;
        tones.push_back({frequencyHz, durationMs});
    }
    bool Confirm(std::string_view question) override {
        questions.emplace_back(question);
        return confirm_answer;
    }

    // Every text a control was given, in order.
    std::vector<std::string> Texts(std::string_view control) const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.control == control && e.property == Property::Text)
                if (auto* s = std::get_if<std::string>(&e.value)) out.push_back(*s);
        return out;
    }
    bool Showed(std::string_view control, std::string_view text) const {
        auto t = Texts(control);
        return std::find(t.begin(), t.end(), text) != t.end();
    }
    int CountMessages(std::string_view text) const {
        return static_cast<int>(std::count(messages.begin(), messages.end(), std::string(text)));
    }
    void Clear() {
        messages.clear();
        errors.clear();
        events.clear();
        pages.clear();
    }

protected:
    void OnMessage(std::string_view text) override {
        messages.emplace_back(text);
        if (on_message) on_message(messages.back());
    }
    void OnSet(std::string_view control, Property property, const PropertyValue& value) override {
        events.push_back({std::string(control), property, value});
    }
    void OnPage(int index) override { pages.push_back(index); }
};

}  // namespace tovrel::test
