#include "literal_word_table.h"

#include "engine/overflow.h"
#include "support/strings.h"

namespace tagwright::testing {

std::vector<WordEntry> LiteralWordTable::entries() const
{
    return {slots_.begin() + 1, slots_.begin() + 1 + count_};
}

WordEntry& LiteralWordTable::at(int position)
{
    return slots_[static_cast<std::size_t>(position)];
}

void LiteralWordTable::blank(WordEntry& entry)
{
    entry = WordEntry{};
}

bool LiteralWordTable::countOccurrence(std::string& word, float value, bool thresholdExempt)
{
    for (int i = 1; i <= count_; ++i) {
        if (at(i).text + "s" == word) {
            word.pop_back();
            break;
        }
        if (word + "s" == at(i).text) {
            at(i).text.pop_back();
            break;
        }
    }
    bool added = true;
    for (int i = 1; i <= count_; ++i) {
        if (at(i).text == word) {
            at(i).frequency = checkedAdd(at(i).frequency, 1);
            at(i).keyValue += value;
            added = false;
            break;
        }
    }
    if (added) {
        if (count_ == 32767)
            throw Overflow();
        ++count_;
        if (static_cast<int>(slots_.size()) <= count_)
            slots_.resize(slots_.size() + 500);
        at(count_) = WordEntry{word, 1, value, thresholdExempt};
    }
    if (count_ > 1)
        repositionWord();
    return added;
}

void LiteralWordTable::repositionWord()
{
    int c = 2;
    while (c <= count_ && !(at(c).keyValue > at(c - 1).keyValue))
        ++c;
    if (c > count_)
        return;
    int i = 1;
    while (!(at(i).keyValue < at(c).keyValue))
        ++i;
    const WordEntry saved = at(c);
    for (int j = c - 1; j >= i; --j)
        at(j + 1) = at(j);
    at(i) = saved;
}

void LiteralWordTable::removeBlankEntries()
{
    int blanks = 0;
    for (int c = 1; c <= count_; ++c)
        if (at(c).text.empty())
            ++blanks;
    if (blanks == 0)
        return;
    for (int c = 1; c <= count_; ++c) {
        if (!at(c).text.empty())
            continue;
        int later = c + 1;
        while (later <= count_ && at(later).text.empty())
            ++later;
        if (later > count_)
            break;
        at(c) = at(later);
        blank(at(later));
    }
    count_ -= blanks;
}

void LiteralWordTable::applyMinimumFrequency(int minimum)
{
    if (minimum == 1)
        return;
    for (int c = 1; c <= count_; ++c)
        if (at(c).frequency < minimum && !at(c).thresholdExempt)
            blank(at(c));
    removeBlankEntries();
}

void LiteralWordTable::mergeCaseVariants()
{
    const int outerBound = count_ - 1;
    for (int i = 1; i <= outerBound; ++i) {
        const std::string& first = at(i).text;
        if (!(first.size() > 2 && first.substr(1) == lowerCaseAccented(first.substr(1))))
            continue;
        const int innerBound = count_;
        for (int j = i + 1; j <= innerBound; ++j) {
            const std::string& a = at(i).text;
            const std::string& b = at(j).text;
            if (b.empty() || lowerCaseAccented(a) != lowerCaseAccented(b) ||
                a.substr(1) != b.substr(1))
                continue;
            at(i).frequency = checkedAdd(at(i).frequency, at(j).frequency);
            at(i).keyValue += at(j).keyValue;
            blank(at(j));
            at(i).text = lowerCaseAccented(at(i).text);
            removeBlankEntries();
            repositionWord();
        }
    }
}

void LiteralWordTable::normaliseKeyValues()
{
    float largest = 0;
    for (int c = 1; c <= count_; ++c)
        if (at(c).keyValue > largest)
            largest = at(c).keyValue;
    if (largest > 0)
        for (int c = 1; c <= count_; ++c)
            at(c).keyValue =
                static_cast<float>(static_cast<double>(at(c).keyValue) * 100 / largest);
}

} // namespace tagwright::testing
