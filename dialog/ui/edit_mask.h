#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// An edit mask such as "!99/99/00;1;_": places for digits ('0' required, '9' optional),
// literals ('/' stands for the date separator, ':' for the time separator, anything else
// for itself), then after ";" whether the literals belong to the text and after the
// second ";" the character that shows an empty place. The field always shows the whole
// mask; typing overwrites places and steps over literals.
class TEditMask {
public:
    TEditMask(std::string_view mask, char dateSeparator, char timeSeparator);

    std::size_t Length() const { return pattern_.size(); }
    bool IsPlace(std::size_t pos) const { return pos < places_.size() && places_[pos]; }
    char Blank() const { return blank_; }
    // The mask with every place empty.
    std::string Empty() const;

    // A text put into the field: one that lines up with the mask is taken place by place;
    // any other gives its digits to the places from the left.
    std::string Apply(std::string_view text) const;

    // Edits of the shown text at a selection [start, end) (caret when equal). Each returns
    // the caret after it; a character that is no digit, or typed with no place left,
    // changes nothing.
    std::size_t Type(std::string& shown, std::size_t start, std::size_t end, char c) const;
    std::size_t Backspace(std::string& shown, std::size_t start, std::size_t end) const;
    std::size_t Delete(std::string& shown, std::size_t start, std::size_t end) const;
    // Digits of a text typed one after the other from the selection.
    std::size_t Paste(std::string& shown, std::size_t start, std::size_t end,
                      std::string_view text) const;

    // The field's value: the shown text with empty places as blanks.
    std::string Value(std::string_view shown) const;

private:
    void Clear(std::string& shown, std::size_t start, std::size_t end) const;
    std::size_t NextPlace(std::size_t pos) const; // at or after pos; Length() when none

    std::string pattern_; // the literals, with blanks where the places are
    std::string places_;  // per position: 1 for a place
    char blank_ = '_';
};
