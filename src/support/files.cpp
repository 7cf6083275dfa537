#include "support/files.h"

#include "support/folder_listing.h"
#include "support/line_reader.h"
#include "support/strings.h"
#include "support/utf8_repair.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tagwright {

namespace {

namespace fs = std::filesystem;

constexpr char kSeparator = '/';

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string lowerCasedIf(std::string_view text, bool lowerCase)
{
    return lowerCase ? lowerCaseAccented(text) : std::string(text);
}

std::string joined(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != kSeparator)
        path += kSeparator;
    return path.append(name);
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? home : ".";
}

std::string withThousands(std::uint64_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t k = digits.size(); k > 3; k -= 3)
        digits.insert(k - 3, 1, ',');
    return digits;
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool fileExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(fs::path(path), error);
}

bool isDirectory(std::string_view path)
{
    std::error_code error;
    const std::string_view trimmed = trimBlanks(path);
    return !trimmed.empty() && fs::is_directory(fs::path(trimmed), error);
}

std::string appDataFilePath(std::string_view fileName, std::string_view folderName,
                            std::string_view baseFolder)
{
    const std::string base = baseFolder.empty() ? homeFolder() : std::string(baseFolder);
    const std::string folder = joined(base, folderName);
    if (!isDirectory(folder)) {
        // A folder that cannot be made shows when the file is written; its caller reports it.
        std::error_code ignored;
        fs::create_directory(fs::path(folder), ignored);
    }
    return joined(folder, fileName);
}

std::string fileExtension(std::string_view path, bool lowerCase)
{
    const std::string_view name = path.substr(path.rfind(kSeparator) + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    return lowerCasedIf(name.substr(dot + 1), lowerCase);
}

std::string fileNamePart(std::string_view path, bool lowerCase)
{
    const std::size_t separator = path.rfind(kSeparator);
    if (separator == std::string_view::npos)
        return {};
    return lowerCasedIf(path.substr(separator + 1), lowerCase);
}

std::string folderPart(std::string_view path, bool normaliseCase)
{
    const std::size_t separator = path.rfind(kSeparator);
    if (separator == std::string_view::npos)
        return {};
    const std::string_view folder = path.substr(0, separator + 1);
    return normaliseCase ? normalisePathCase(folder) : std::string(folder);
}

std::string containingFolder(std::string_view path)
{
    const std::string folder = folderPart(path, false);
    return folder.empty() ? std::string(".") : folder;
}

std::string normalisePathCase(std::string_view path)
{
    return std::string(path);
}

std::string sizeText(std::int64_t bytes, bool capitalised)
{
    if (bytes < 0)
        return {};
    return byteCountText(bytes, capitalised) + " (" + kilobyteText(bytes) + ")";
}

std::string byteCountText(std::int64_t bytes, bool capitalised)
{
    if (bytes < 0)
        return {};
    return withThousands(static_cast<std::uint64_t>(bytes)) + (capitalised ? " Bytes" : " bytes");
}

std::string kilobyteText(std::int64_t bytes)
{
    if (bytes <= 0)
        return "0 KB";
    const auto kilobytes = (static_cast<std::uint64_t>(bytes) - 1) / 1024 + 1;
    return withThousands(kilobytes) + " KB";
}

std::int32_t countMatchingFiles(const std::string& folder, std::string_view pattern,
                                bool stopAtFirst, std::string& errorText, std::uint64_t* totalSize)
{
    errorText.clear();
    const FolderListing listing = listFolder(folder);
    if (!listing.ok()) {
        errorText = listing.failure->text;
        return -1;
    }
    if (pattern == "*.*" && totalSize == nullptr)
        return static_cast<std::int32_t>(listing.files.size());
    if (totalSize != nullptr)
        *totalSize = 0;
    std::int32_t count = 0;
    for (const std::string& name : listing.files) {
        if (!matchFileName(name, pattern, false))
            continue;
        ++count;
        if (totalSize != nullptr) {
            std::error_code vanished; // a file removed meanwhile adds nothing
            const std::uintmax_t size = fs::file_size(fs::path(joined(folder, name)), vanished);
            *totalSize += vanished ? 0 : size;
        }
        if (stopAtFirst)
            break;
    }
    return count;
}

bool matchFileName(std::string_view name, std::string_view pattern, bool caseSensitive)
{
    // Wildcards or a separator in the name: it is not a plain file name.
    if (name.find_first_of("?*/") != std::string_view::npos)
        return false;
    pattern = trimBlanks(pattern);
    if (pattern.empty())
        return true;
    const std::size_t nameDot = name.rfind('.');
    const std::size_t patternDot = pattern.rfind('.');
    if (patternDot == std::string_view::npos)
        return nameDot == std::string_view::npos && wildcardMatch(name, pattern, caseSensitive);
    const std::string_view patternBase = pattern.substr(0, patternDot);
    const std::string_view patternExtension = pattern.substr(patternDot + 1);
    if (nameDot == std::string_view::npos) {
        // Only an extension pattern that may match nothing lets a name without a dot through.
        if (patternExtension.find_first_not_of('*') != std::string_view::npos)
            return false;
        return wildcardMatch(name, patternBase, caseSensitive);
    }
    return wildcardMatch(name.substr(0, nameDot), patternBase, caseSensitive) &&
           wildcardMatch(name.substr(nameDot + 1), patternExtension, caseSensitive);
}

bool wildcardMatch(std::string_view text, std::string_view pattern, bool caseSensitive)
{
    std::string loweredText;
    std::string loweredPattern;
    if (!caseSensitive) {
        loweredText = lowerCaseAccented(text);
        loweredPattern = lowerCaseAccented(pattern);
        text = loweredText;
        pattern = loweredPattern;
    }
    if (text == pattern)
        return true;
    if (text.empty())
        return pattern.find_first_not_of('*') == std::string_view::npos;
    if (pattern.empty())
        return true;
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        if (j == pattern.size())
            return i == text.size();
        const char p = pattern[j];
        if (p == '?') {
            if (i == text.size())
                return false;
            ++i;
            ++j;
        } else if (p == '*') {
            const std::size_t literal = pattern.find_first_not_of("*?", j);
            if (literal == std::string_view::npos)
                return true;
            i = text.find(pattern[literal], i);
            if (i == std::string_view::npos)
                return false;
            ++j;
        } else {
            if (i == text.size() || text[i] != p)
                return false;
            ++i;
            ++j;
        }
    }
}

TextLines readTextLines(const std::string& path, const TextLinesOptions& options)
{
    TextLines result;
    LineReader reader(path);
    std::string line;
    while (reader.readLine(line)) {
        if (options.skipEmpty && line.empty())
            continue;
        ++result.lineCount;
        if (options.decode) {
            repairUtf8Latin1(line);
            if (options.tidy)
                repairUtf8Punctuation(line);
        }
        if (result.lineCount > 1)
            result.text += "\r\n";
        result.text += line;
        if (options.maxLines > 0 && result.lineCount >= options.maxLines)
            break;
    }
    if (reader.errorNumber() != 0) {
        result.text.clear();
        result.lineCount = 0;
        result.failure = Failure::ofError(reader.errorNumber());
    }
    return result;
}

std::string writeTextToFile(std::string_view text, const std::string& path, bool plain, bool append)
{
    const auto failure = [] { return std::string(std::strerror(errno != 0 ? errno : EIO)); };
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), append ? "ab" : "wb"));
    if (!file)
        return failure();
    const std::string_view quote = plain ? "" : "\"";
    const std::string content = std::string(quote).append(text).append(quote).append("\r\n");
    errno = 0;
    if (std::fwrite(content.data(), 1, content.size(), file.get()) != content.size())
        return failure();
    // Buffered data reaches the disk on closing, so a full disk shows here.
    errno = 0;
    if (std::fclose(file.release()) != 0)
        return failure();
    return {};
}

} // namespace tagwright
