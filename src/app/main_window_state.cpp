// The main window's side of the saved state: its controls as plain data and back.

#include "app/main_window.h"

#include "app/check_value.h"
#include "app/multiple_files_side.h"
#include "app/state_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace tagwright {

namespace {
constexpr int kSaveStateText = 21;
}

MainWindowState MainWindow::mainState() const
{
    MainWindowState state;
    state.inputFile = txbInputFile->text();
    state.folder = txbFolder->text();
    state.beginMetaTagWith = txbBeginMetaTagWith->text();
    state.wordsToIgnore = txbWordsToIgnore->text();
    state.maxNumKeywordsInMetaTag = txbMaxNumKeywordsInMetaTag->text();
    state.maxNumBytesInMetaTag = txbMaxNumBytesInMetaTag->text();
    state.shortWordSize = cboShortWordSize->currentIndex();
    state.thresholdFrequency = cboThresholdFrequency->currentIndex();
    state.tableWeight = cboTableWeight->currentIndex();
    state.existingKeywordsWeight = cboExistingKeywordsWeight->currentIndex();
    state.boldWeight = cboBoldWeight->currentIndex();
    state.ignoreShortWords = checkValue(chkIgnoreShortWords);
    state.ignoreCommonWords = checkValue(chkIgnoreCommonWords);
    state.preserveCase = checkValue(chkPreserveCase);
    state.spaceAfterComma = checkValue(chkSpaceAfterComma);
    state.forwardSlash = checkValue(chkForwardSlash);
    state.titleWeight = cboTitleWeight->currentIndex();
    state.descriptionWeight = cboDescriptionWeight->currentIndex();
    state.italicWeight = cboItalicWeight->currentIndex();
    state.divWeight = cboDivWeight->currentIndex();
    state.spanWeight = cboSpanWeight->currentIndex();
    state.language = cboLanguage->currentIndex();
    state.singleFile = optSingleFile->isChecked();
    state.insertionWithBackup = optInsertionWithBackup->isChecked();
    state.backColor = backColor_;
    return state;
}

// Sets the controls as loading the state does: a backup file as input is dropped, the words
// to ignore are tidied, and a folder brings back multiple-files mode.
void MainWindow::applyMainState(const MainWindowState& state)
{
    txbInputFile->setText(isBakFile(state.inputFile) ? QString() : state.inputFile);
    txbFolder->setText(state.folder);
    txbBeginMetaTagWith->setText(state.beginMetaTagWith);
    txbWordsToIgnore->setText(state.wordsToIgnore);
    wordsToIgnoreLeft();
    txbMaxNumKeywordsInMetaTag->setText(state.maxNumKeywordsInMetaTag);
    txbMaxNumBytesInMetaTag->setText(state.maxNumBytesInMetaTag);
    cboShortWordSize->setCurrentIndex(state.shortWordSize);
    cboThresholdFrequency->setCurrentIndex(state.thresholdFrequency);
    cboTableWeight->setCurrentIndex(state.tableWeight);
    cboExistingKeywordsWeight->setCurrentIndex(state.existingKeywordsWeight);
    cboBoldWeight->setCurrentIndex(state.boldWeight);
    setCheckValue(chkIgnoreShortWords, state.ignoreShortWords);
    setCheckValue(chkIgnoreCommonWords, state.ignoreCommonWords);
    setCheckValue(chkPreserveCase, state.preserveCase);
    setCheckValue(chkSpaceAfterComma, state.spaceAfterComma);
    setCheckValue(chkForwardSlash, state.forwardSlash);
    cboTitleWeight->setCurrentIndex(state.titleWeight);
    cboDescriptionWeight->setCurrentIndex(state.descriptionWeight);
    cboItalicWeight->setCurrentIndex(state.italicWeight);
    cboDivWeight->setCurrentIndex(state.divWeight);
    cboSpanWeight->setCurrentIndex(state.spanWeight);
    cboLanguage->setCurrentIndex(state.language);
    if (state.singleFile && state.folder.isEmpty())
        optSingleFile->setChecked(true);
    else
        optMultipleFiles->setChecked(true);
    if (state.insertionWithBackup)
        optInsertionWithBackup->setChecked(true);
    else
        optInsertionWithoutBackup->setChecked(true);
    backColor_ = state.backColor;
}

ParameterValues MainWindow::parameterValues() const
{
    return multipleFiles_ ? multipleFiles_->parameterValues() : parameters_;
}

void MainWindow::setParameterValues(const ParameterValues& values)
{
    parameters_ = values;
    if (multipleFiles_)
        multipleFiles_->setParameterValues(values);
}

bool MainWindow::saveState()
{
    const StateWriteResult result =
        writeStateFile(stateFilePath_, {mainState(), parameterValues()});
    if (!result.written)
        dialogs().showMessage(programText(kSaveStateText),
                              QStringLiteral("Error when attempting to save the state: ") +
                                  result.error,
                              MessageIcon::Warning);
    return result.written;
}

bool MainWindow::loadState()
{
    const std::optional<SavedState> state = readStateFile(stateFilePath_);
    if (!state)
        return false;
    applyMainState(state->main);
    setParameterValues(state->parameters);
    return true;
}

} // namespace tagwright
