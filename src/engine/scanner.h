#pragma once

#include "engine/analysis_host.h"
#include "engine/analysis_settings.h"
#include "engine/scan_state.h"
#include "engine/word_counter.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tagwright {

// Walks prepared lines, following the HTML context in which each word stands, and hands every
// word to the counter. Comments, style and script blocks, the insides of tags and the content
// of zero-weight tables, divs and spans are stepped over.
class Scanner
{
  public:
    Scanner(const AnalysisSettings& settings, AnalysisHost& host, WordCounter& counter,
            WordTable& table, std::string path);

    // Scans one prepared line (ending with a blank) from its start to its end, or until Stop, or
    // until a skipped block, tag or table goes on past the end of the line.
    void scanLine(std::string_view line);

    // Brings the tag and font-stack depths back to 0 after a line that closed more than it opened.
    void endLine();

    // Stop was pressed, or the user declined to go on after an invalid end-font tag.
    bool stopped() const { return stopped_; }

    // Bytes that the searches of the scan have read so far, over all lines: a measure of its cost
    // that does not depend on the machine.
    std::uint64_t bytesSearched() const { return bytesSearched_; }

  private:
    class Line;

    // Looks at Stop; false once it has been pressed (or the run was declined).
    bool keepScanning();
    // The same for a loop of one step that has come to pos: a look once it passes nextLook, the
    // next one kBytesPerLook further.
    bool keepScanningPast(std::size_t pos, std::size_t& nextLook);
    bool inPlainText() const;
    void takeWordsOfPlainText(const Line& line, std::string_view text);
    void takeWord(std::string_view text);
    void handleTag(Line& line);
    void handleMetaTag(Line& line);
    void handleFontTag(Line& line);
    void handleEndFontTag(Line& line);
    bool skipToEndMarker(Line& line, std::string_view marker);
    bool skipBlockContent(Line& line, std::string_view open, std::string_view close,
                          std::int16_t& depth);
    bool followBlockTag(Line& line, std::string_view open, std::string_view close,
                        std::int16_t& depth, int weight);

    const AnalysisSettings& settings_;
    AnalysisHost& host_;
    WordCounter& counter_;
    WordTable& table_;
    std::string path_;
    ScanState state_;
    bool stopped_ = false;
    std::uint64_t bytesSearched_ = 0;
};

} // namespace tagwright
