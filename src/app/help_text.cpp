#include "app/help_text.h"

#include <QStringList>

namespace tagwright {

namespace {

const QString kLine = QStringLiteral("\r\n");
const QString kParagraph = QStringLiteral("\r\n\r\n");

QString lines(const QStringList& items)
{
    return items.join(kLine) + kParagraph;
}

} // namespace

QString helpText(const QString& singleFileManual, const QString& multipleFilesManual)
{
    QString text;
    text += QStringLiteral("An illustrated verson of this documentation can be found at ") +
            singleFileManual + QStringLiteral(" (for operations on a single file) and at ") +
            multipleFilesManual +
            QStringLiteral(" (for operations on multiple files).  This help window may be "
                           "resized or maximized for easier reading.") +
            kParagraph;
    text += QStringLiteral(
                "This program generates keywords meta tags.  It counts the number of times each "
                "word occurs in the HTML document and builds the meta tag from the most "
                "frequently used words (ignoring common words such as 'the' and 'which').  It "
                "can give more or less importance to words which occur:") +
            kParagraph;
    text += lines({
        QStringLiteral("(a) in the title, <title>...</title>"),
        QStringLiteral("(b) in the description, <meta name=\"description\" content=\"...\">"),
        QStringLiteral("(c) in existing keywords, <meta name=\"keywords\" content=\"...\">"),
        QStringLiteral("(d) in a heading, e.g., <h4>...</h4>"),
        QStringLiteral("(e) in boldface, <b>...</b> and <strong>...</strong>"),
        QStringLiteral("(f) in italics, <i>...</i> and <em>...</em>"),
        QStringLiteral("(g) in a table, <table>...</table> and"),
        QStringLiteral("(h) within <div>...</div> and <span>...</span>."),
    });
    text += QStringLiteral("You can control the amount of weight given to words occurring in "
                           "these contexts, as follows:") +
            kParagraph;
    text += QStringLiteral("Words in boldface can be given a weight of 1 to 9.  A weight of 5 "
                           "means that an occurrence of a word in boldface counts five times as "
                           "much as an occurrence that is not in boldface.  A weight of 1 gives "
                           "both the same weight.") +
            kParagraph;
    text += QStringLiteral("Words within <table>, <div> and <span> tags can be given a weight of 0 "
                           "to 9.  A weight of 0 means that words within these tags are ignored.  "
                           "These tags can be nested.  The degree of nesting does not affect the "
                           "weighting.") +
            kParagraph;
    text += QStringLiteral("Words in a heading <h(n)> are given a weight of 5 times (7 minus the "
                           "heading level), so words in <h4>...</h4> get a weight of "
                           "5 *(7 - 4) = 15.") +
            kParagraph;
    text += QStringLiteral("Existing keywords (those in a keywords meta tag already existing in "
                           "the document) can be given a weight of 0 to 9.  A weight of 0 means "
                           "that existing keywords are ignored.") +
            kParagraph;
    text += QStringLiteral("The input file (whose name must have an extension containing 'htm') "
                           "is chosen with the 'Input file' button in the usual way.") +
            kParagraph;
    text += QStringLiteral("If the document already has a keywords meta tag then you can display "
                           "it by clicking on 'Show existing keywords, etc.', which also shows the "
                           "current title and description of the document.") +
            kParagraph;
    text += QStringLiteral("You can tell the program to ignore short words, that is, words with a "
                           "given number of letters (such as 3) or less.  Common words such as "
                           "'with' and 'into' can be ignored too; this is the default and should "
                           "always be used.  You can specify the maximum number of keywords in the "
                           "meta tag and the maximum length in bytes of the meta tag.") +
            kParagraph;
    text += QStringLiteral("You can require that only words which occur a specified minimum number "
                           "of times are used.  This minimum does not apply to words in the title "
                           "tag, the description or the existing keywords meta tag, so words in "
                           "the title remain candidates even if they occur only once.") +
            kParagraph;
    text += QStringLiteral("After you have specified the input file and the controlling "
                           "parameters you can either:") +
            kLine;
    text += lines({
        QStringLiteral("(i) click on 'List words' to get a list of the words satisfying the "
                       "selection criteria, together with their keyword value and frequency or"),
        QStringLiteral("(ii) click on 'Generate/show keywords meta tag' to get the meta tag."),
    });
    text += QStringLiteral("If you want some words to be included as phrases, type them into the "
                           "'Begin meta tag with' box and generate the meta tag again.") +
            kParagraph;
    text += QStringLiteral("You can edit the keywords directly in the window.  Then copy the meta "
                           "tag to the clipboard and paste it into the header section of the HTML "
                           "document, or copy it into the document and edit it there.") +
            kParagraph;
    text += QStringLiteral("The program acts either on single files or on multiple files in a "
                           "folder and, optionally, its subfolders.  To operate on multiple files "
                           "select the radio button next to the 'Folder' button.  The remainder of "
                           "this help text describes operations on multiple files.") +
            kParagraph;
    text += QStringLiteral("Click on the 'Folder' button to open the window whereby you can "
                           "specify the folder.") +
            kParagraph;
    text += QStringLiteral("Then specify the parameters for a multiple file operation by clicking "
                           "on the 'Set operation parameters' button.") +
            kParagraph;
    text += QStringLiteral("Check the extensions of the HTML files you wish to process (normally "
                           "just 'htm' and 'html').") +
            kParagraph;
    text += QStringLiteral("If 'Include all subfolders recursively' is checked then all files in "
                           "the whole tree of folders below the folder are processed, otherwise "
                           "only the files in the folder itself.") +
            kParagraph;
    text +=
        QStringLiteral("If 'Make backups of files' is checked then a copy is made of every file "
                       "into which a keywords meta tag is inserted.  The name of the backup "
                       "has 'bak' just before the file extension.") +
        kParagraph;
    text += QStringLiteral("If you are performing an operation on a set of files you can have a "
                           "'Done' meta tag inserted into each file, such as "
                           "<meta name=\"QOVA done\" content=\"2008-11-24\">") +
            QStringLiteral(", where the date will be the date when the keywords meta tag was "
                           "inserted.  ") +
            QStringLiteral("Files which were done today or within the last week can then be "
                           "skipped by checking 'Skip files which have a Done meta tag less than' "
                           "and choosing a number of days old (1 for today).") +
            kParagraph;
    text += QStringLiteral("A site's navigation, repeated on every page, can take places in "
                           "every tag.  With a percent in 'Leave out words found on more than', "
                           "a run first reads all the pages it would tag, writing nothing, and "
                           "then leaves the words that stand in the tags of more than that share "
                           "of the pages out of every tag; the report names them first.  Leave "
                           "the box empty to keep every word.") +
            kParagraph;
    text += QStringLiteral("If 'Inspect keywords meta tag' is checked then a window appears for "
                           "each file, in which you can stop the whole operation, skip the file, "
                           "or add or remove keywords before inserting the meta tag.  In either "
                           "case you can choose whether a 'Done' meta tag is inserted.") +
            kParagraph;
    text += QStringLiteral("You can choose whether to log operations in a report window.  If you "
                           "do, you can include the new keywords meta tag, include the old "
                           "keywords meta tag, and choose not to log files with a 'Done' meta tag "
                           "when skipping them.") +
            kParagraph;
    text += QStringLiteral("If you do not log operations in the report window then there is no "
                           "limit on the number of files that can be processed.  If you do, the "
                           "number of files is limited by the capacity of the report window, "
                           "which is about 50 KB.") +
            kParagraph;
    text += QStringLiteral("The background color of the main screen may be toggled between green "
                           "and gray by double-clicking any part of the main window that is not a "
                           "control.") +
            kParagraph;
    return text;
}

} // namespace tagwright
