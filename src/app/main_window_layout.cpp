// Building the main window: its controls with their names and captions, their places, and the
// handlers behind them.

#include "app/main_window.h"

#include "app/twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tagwright {

namespace {

template <typename Control>
Control* named(QWidget* parent, const char* name, const QString& caption = QString())
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    if constexpr (!std::is_same_v<Control, QLineEdit> && !std::is_same_v<Control, QComboBox> &&
                  !std::is_same_v<Control, QPlainTextEdit> && !std::is_same_v<Control, QFrame>)
        control->setText(caption);
    return control;
}

// Text boxes for names, phrases and output use the fixed-pitch face.
void useFixedPitch(QWidget* box)
{
    QFont font = box->font();
    font.setFamily(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    box->setFont(font);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return layout;
}

} // namespace

void MainWindow::createControls()
{
    optSingleFile = named<QRadioButton>(this, "optSingleFile");
    optMultipleFiles = named<QRadioButton>(this, "optMultipleFiles");
    cmdInputFile = named<QPushButton>(this, "cmdInputFile", QStringLiteral("Single file"));
    txbInputFile = named<QLineEdit>(this, "txbInputFile");
    cmdClearInputFile = named<QPushButton>(this, "cmdClearInputFile", QStringLiteral("Clear"));
    cmdFolder = named<QPushButton>(this, "cmdFolder", QStringLiteral("Folder"));
    txbFolder = named<QLineEdit>(this, "txbFolder");
    cmdClearFolder = named<QPushButton>(this, "cmdClearFolder", QStringLiteral("Clear"));
    lblLanguageOfText = named<QLabel>(this, "lblLanguageOfText", QStringLiteral("Language:"));
    cboLanguage = named<QComboBox>(this, "cboLanguage");
    chkIgnoreCommonWords =
        named<QCheckBox>(this, "chkIgnoreCommonWords", QStringLiteral("Ignore common words"));
    chkPreserveCase =
        named<QCheckBox>(this, "chkPreserveCase", QStringLiteral("Keep upper/lower case "));
    chkIgnoreShortWords =
        named<QCheckBox>(this, "chkIgnoreShortWords", QStringLiteral("Ignore words with"));
    cboShortWordSize = named<QComboBox>(this, "cboShortWordSize");
    lblCharsOrLess = named<QLabel>(this, "lblCharsOrLess", QStringLiteral("characters or less"));
    lblThresholdFrequency =
        named<QLabel>(this, "lblThresholdFrequency", QStringLiteral("Minimum frequency for word:"));
    cboThresholdFrequency = named<QComboBox>(this, "cboThresholdFrequency");
    lblTitleWeight = named<QLabel>(this, "lblTitleWeight", QStringLiteral("TITLE weight:"));
    cboTitleWeight = named<QComboBox>(this, "cboTitleWeight");
    lblDescriptionWeight =
        named<QLabel>(this, "lblDescriptionWeight", QStringLiteral("Description weight:"));
    cboDescriptionWeight = named<QComboBox>(this, "cboDescriptionWeight");
    lblExistingkeywordsWeight = named<QLabel>(this, "lblExistingkeywordsWeight",
                                              QStringLiteral("Existing keywords weight:"));
    cboExistingKeywordsWeight = named<QComboBox>(this, "cboExistingKeywordsWeight");
    lblBoldWeight = named<QLabel>(this, "lblBoldWeight", QStringLiteral("Bold/strong weight:"));
    cboBoldWeight = named<QComboBox>(this, "cboBoldWeight");
    lblItalicWeight =
        named<QLabel>(this, "lblItalicWeight", QStringLiteral("Italic/emphasis weight:"));
    cboItalicWeight = named<QComboBox>(this, "cboItalicWeight");
    lblTableWeight = named<QLabel>(this, "lblTableWeight", QStringLiteral("TABLE weight:"));
    cboTableWeight = named<QComboBox>(this, "cboTableWeight");
    lblDivWeight = named<QLabel>(this, "lblDivWeight", QStringLiteral("DIV weight:"));
    cboDivWeight = named<QComboBox>(this, "cboDivWeight");
    lblSpanWeight = named<QLabel>(this, "lblSpanWeight", QStringLiteral("SPAN weight:"));
    cboSpanWeight = named<QComboBox>(this, "cboSpanWeight");
    lblIgnoreTheseWords =
        named<QLabel>(this, "lblIgnoreTheseWords", QStringLiteral("Ignore these words:"));
    txbWordsToIgnore = named<QLineEdit>(this, "txbWordsToIgnore");
    cmdClearWordsToIgnore =
        named<QPushButton>(this, "cmdClearWordsToIgnore", QStringLiteral("Clear"));
    lblBeginMetaTagWith =
        named<QLabel>(this, "lblBeginMetaTagWith", QStringLiteral("Begin meta tag with:"));
    txbBeginMetaTagWith = named<QLineEdit>(this, "txbBeginMetaTagWith");
    cmdClearBeginMetaTagWith =
        named<QPushButton>(this, "cmdClearBeginMetaTagWith", QStringLiteral("Clear"));
    lblMaxNumKeywords = named<QLabel>(this, "lblMaxNumKeywords",
                                      QStringLiteral("Maximum number of keywords in meta tag:"));
    txbMaxNumKeywordsInMetaTag = named<QLineEdit>(this, "txbMaxNumKeywordsInMetaTag");
    lblMaxNumBytes = named<QLabel>(this, "lblMaxNumBytes",
                                   QStringLiteral("Maximum number of bytes in meta tag:"));
    txbMaxNumBytesInMetaTag = named<QLineEdit>(this, "txbMaxNumBytesInMetaTag");
    chkSpaceAfterComma =
        named<QCheckBox>(this, "chkSpaceAfterComma", QStringLiteral("Spaces after commas "));
    chkForwardSlash =
        named<QCheckBox>(this, "chkForwardSlash", QStringLiteral("close tag with ' />'"));
    cmdShowExistingKeywordMetaTag = named<QPushButton>(
        this, "cmdShowExistingKeywordMetaTag", QStringLiteral("Show existing keywords etc."));
    cmdListWords = named<QPushButton>(this, "cmdListWords", QStringLiteral("List words"));
    cmdGenerateKeywordMetaTag = named<QPushButton>(
        this, "cmdGenerateKeywordMetaTag", QStringLiteral("Generate/show keywords meta tag"));
    cmdReset = named<QPushButton>(this, "cmdReset", QStringLiteral("Restore defaults"));
    txbMetaTAG = named<QPlainTextEdit>(this, "txbMetaTAG");
    cmdClearOutput = named<QPushButton>(this, "cmdClearOutput", QStringLiteral("Clear"));
    lblNumberOfWords = named<QLabel>(this, "lblNumberOfWords");
    Frame1 = named<QFrame>(this, "Frame1");
    optInsertionWithBackup =
        named<QRadioButton>(Frame1, "optInsertionWithBackup", QStringLiteral("with"));
    optInsertionWithoutBackup =
        named<QRadioButton>(Frame1, "optInsertionWithoutBackup", QStringLiteral("without backup"));
    cmdInsert =
        named<QPushButton>(Frame1, "cmdInsert", QStringLiteral("Insert meta tag into file"));
    cmdRestoreBackups =
        named<QPushButton>(Frame1, "cmdRestoreBackups", QStringLiteral("Restore backups..."));
    cmdViewReport = named<QPushButton>(Frame1, "cmdViewReport", QStringLiteral("View report"));
    lblMetaTagInserted = named<QLabel>(Frame1, "lblMetaTagInserted");
    chkLargeWindow = named<QCheckBox>(Frame1, "chkLargeWindow", QStringLiteral("Large window"));
    cmdHelp = named<QPushButton>(Frame1, "cmdHelp", QStringLiteral("Help"));
    cmdQuit = named<QPushButton>(Frame1, "cmdQuit", QStringLiteral("Quit"));
    lblQuorvexSystems =
        named<QLabel>(Frame1, "lblQuorvexSystems", QStringLiteral("Quorvex Systems"));
    lblOnlineDocumentation =
        named<QLabel>(Frame1, "lblOnlineDocumentation", QStringLiteral("Online user manual"));

    // The two pairs of option buttons choose independently of each other.
    auto* modes = new QButtonGroup(this);
    modes->addButton(optSingleFile);
    modes->addButton(optMultipleFiles);
    auto* backup = new QButtonGroup(this);
    backup->addButton(optInsertionWithBackup);
    backup->addButton(optInsertionWithoutBackup);

    for (QWidget* box : std::initializer_list<QWidget*>{
             txbInputFile, txbFolder, txbWordsToIgnore, txbBeginMetaTagWith,
             txbMaxNumKeywordsInMetaTag, txbMaxNumBytesInMetaTag, txbMetaTAG})
        useFixedPitch(box);
    txbMaxNumKeywordsInMetaTag->setMaximumWidth(twipsToPixels(900));
    txbMaxNumBytesInMetaTag->setMaximumWidth(twipsToPixels(900));
    // Texts set during work (a long progress or count, a warning) never widen the window.
    for (QLabel* label : {lblMetaTagInserted, lblNumberOfWords})
        label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
    txbMetaTAG->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txbMetaTAG->setTabChangesFocus(true);
    txbMetaTAG->setMinimumHeight(twipsToPixels(3000));
    for (QLabel* link : {lblQuorvexSystems, lblOnlineDocumentation}) {
        QFont font = link->font();
        font.setUnderline(true);
        link->setFont(font);
        link->setCursor(Qt::PointingHandCursor);
    }
}

void MainWindow::layOutControls()
{
    auto* files = new QGridLayout;
    files->addWidget(optSingleFile, 0, 0);
    files->addWidget(cmdInputFile, 0, 1);
    files->addWidget(txbInputFile, 0, 2);
    files->addWidget(cmdClearInputFile, 0, 3);
    files->addWidget(optMultipleFiles, 1, 0);
    files->addWidget(cmdFolder, 1, 1);
    files->addWidget(txbFolder, 1, 2);
    files->addWidget(cmdClearFolder, 1, 3);
    files->setColumnStretch(2, 1);

    auto* words = new QGridLayout;
    words->addWidget(lblLanguageOfText, 0, 0);
    words->addWidget(cboLanguage, 0, 1, 1, 2);
    words->addWidget(chkIgnoreCommonWords, 1, 0, 1, 3);
    words->addWidget(chkPreserveCase, 2, 0, 1, 3);
    words->addWidget(chkIgnoreShortWords, 3, 0);
    words->addWidget(cboShortWordSize, 3, 1);
    words->addWidget(lblCharsOrLess, 3, 2);
    words->addWidget(lblThresholdFrequency, 4, 0);
    words->addWidget(cboThresholdFrequency, 4, 1);
    words->addWidget(chkSpaceAfterComma, 5, 0, 1, 3);
    words->addWidget(chkForwardSlash, 6, 0, 1, 3);
    words->setRowStretch(7, 1);

    auto* weights = new QGridLayout;
    const std::initializer_list<std::pair<QLabel*, QComboBox*>> weightRows = {
        {lblTitleWeight, cboTitleWeight},
        {lblDescriptionWeight, cboDescriptionWeight},
        {lblExistingkeywordsWeight, cboExistingKeywordsWeight},
        {lblBoldWeight, cboBoldWeight},
        {lblItalicWeight, cboItalicWeight},
        {lblTableWeight, cboTableWeight},
        {lblDivWeight, cboDivWeight},
        {lblSpanWeight, cboSpanWeight}};
    int line = 0;
    for (const auto& [label, list] : weightRows) {
        weights->addWidget(label, line / 2, (line % 2) * 2);
        weights->addWidget(list, line / 2, (line % 2) * 2 + 1);
        ++line;
    }

    auto* settings = new QHBoxLayout;
    settings->addLayout(words);
    settings->addSpacing(twipsToPixels(300));
    settings->addLayout(weights, 1);

    auto* phrases = new QGridLayout;
    phrases->addWidget(lblIgnoreTheseWords, 0, 0);
    phrases->addWidget(txbWordsToIgnore, 0, 1, 1, 3);
    phrases->addWidget(cmdClearWordsToIgnore, 0, 4);
    phrases->addWidget(lblBeginMetaTagWith, 1, 0);
    phrases->addWidget(txbBeginMetaTagWith, 1, 1, 1, 3);
    phrases->addWidget(cmdClearBeginMetaTagWith, 1, 4);
    phrases->addLayout(row({lblMaxNumKeywords, txbMaxNumKeywordsInMetaTag}), 2, 0, 1, 2);
    phrases->addLayout(row({lblMaxNumBytes, txbMaxNumBytesInMetaTag}), 2, 2, 1, 3);
    phrases->setColumnStretch(1, 1);

    auto* commands =
        row({cmdShowExistingKeywordMetaTag, cmdListWords, cmdGenerateKeywordMetaTag, cmdReset});

    auto* outputHead = new QHBoxLayout;
    outputHead->addWidget(lblNumberOfWords, 1);
    outputHead->addWidget(cmdClearOutput);

    auto* frameRow = new QHBoxLayout;
    frameRow->addWidget(optInsertionWithBackup);
    frameRow->addWidget(optInsertionWithoutBackup);
    frameRow->addWidget(cmdInsert);
    frameRow->addWidget(cmdRestoreBackups);
    frameRow->addWidget(cmdViewReport);
    frameRow->addWidget(lblMetaTagInserted, 1);
    frameRow->addWidget(chkLargeWindow);
    frameRow->addWidget(cmdHelp);
    frameRow->addWidget(cmdQuit);
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(lblQuorvexSystems);
    linkRow->addStretch(1);
    linkRow->addWidget(lblOnlineDocumentation);
    auto* frame = new QVBoxLayout(Frame1);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addLayout(frameRow);
    frame->addLayout(linkRow);

    auto* window = new QVBoxLayout(this);
    window->addLayout(files);
    window->addLayout(settings);
    window->addLayout(phrases);
    window->addLayout(commands);
    window->addLayout(outputHead);
    window->addWidget(txbMetaTAG, 1);
    // The frame sits 100 twips below the output box.
    window->addSpacing(twipsToPixels(100) - window->spacing());
    window->addWidget(Frame1);
}

void MainWindow::connectControls()
{
    connect(optSingleFile, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            singleFileChosen();
    });
    connect(optMultipleFiles, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            multipleFilesChosen();
    });
    connect(cmdInputFile, &QPushButton::clicked, this, &MainWindow::chooseInputFile);
    connect(cmdClearInputFile, &QPushButton::clicked, this, &MainWindow::clearInputFile);
    connect(cmdFolder, &QPushButton::clicked, this, &MainWindow::chooseFolder);
    connect(cmdClearFolder, &QPushButton::clicked, this, &MainWindow::clearFolder);
    connect(cboLanguage, &QComboBox::activated, this, &MainWindow::languageChosen);
    connect(chkIgnoreCommonWords, &QCheckBox::clicked, this, &MainWindow::ignoreCommonWordsClicked);
    connect(chkPreserveCase, &QCheckBox::clicked, this, &MainWindow::preserveCaseClicked);
    connect(chkIgnoreShortWords, &QCheckBox::clicked, this, &MainWindow::settingChanged);
    for (QComboBox* list : {cboShortWordSize, cboThresholdFrequency, cboTitleWeight,
                            cboDescriptionWeight, cboExistingKeywordsWeight, cboBoldWeight,
                            cboItalicWeight, cboTableWeight, cboDivWeight, cboSpanWeight})
        connect(list, &QComboBox::activated, this, &MainWindow::settingChanged);
    for (QAbstractButton* option :
         std::initializer_list<QAbstractButton*>{chkSpaceAfterComma, chkForwardSlash,
                                                 optInsertionWithBackup, optInsertionWithoutBackup})
        connect(option, &QAbstractButton::clicked, this, &MainWindow::setTheFocus);
    connect(cmdClearWordsToIgnore, &QPushButton::clicked, this, [this] {
        txbWordsToIgnore->clear();
        wordsToIgnoreLeft();
    });
    connect(cmdClearBeginMetaTagWith, &QPushButton::clicked, this, [this] {
        txbBeginMetaTagWith->clear();
        setTheFocus();
    });
    connect(cmdShowExistingKeywordMetaTag, &QPushButton::clicked, this,
            &MainWindow::showExistingClicked);
    connect(cmdListWords, &QPushButton::clicked, this, &MainWindow::listWordsClicked);
    connect(cmdGenerateKeywordMetaTag, &QPushButton::clicked, this, &MainWindow::generateClicked);
    connect(cmdReset, &QPushButton::clicked, this, [this] {
        restoreDefaults(false);
        setTheFocus();
    });
    connect(cmdClearOutput, &QPushButton::clicked, this, &MainWindow::clearOutput);
    connect(cmdInsert, &QPushButton::clicked, this, &MainWindow::insertClicked);
    connect(cmdRestoreBackups, &QPushButton::clicked, this, &MainWindow::restoreBackupsClicked);
    connect(cmdViewReport, &QPushButton::clicked, this, &MainWindow::viewReportClicked);
    connect(chkLargeWindow, &QCheckBox::clicked, this, &MainWindow::largeWindowClicked);
    connect(cmdHelp, &QPushButton::clicked, this, &MainWindow::openHelp);
    connect(cmdQuit, &QPushButton::clicked, this, &MainWindow::close);

    // Entries are checked when they lose the focus; F1 on the main commands opens help; the
    // two company labels open their web pages.
    for (QWidget* watched : std::initializer_list<QWidget*>{
             txbInputFile, txbFolder, txbMaxNumKeywordsInMetaTag, txbMaxNumBytesInMetaTag,
             txbWordsToIgnore, cmdShowExistingKeywordMetaTag, cmdGenerateKeywordMetaTag, cmdHelp,
             cmdInputFile, cmdListWords, lblQuorvexSystems, lblOnlineDocumentation})
        watched->installEventFilter(this);
}

void MainWindow::fillLists()
{
    for (const char* language :
         {"English", "French", "German", "Italian", "Portuguese", "Spanish", "All 6 languages"})
        cboLanguage->addItem(QLatin1String(language));
    for (int n = 1; n <= 9; ++n) {
        cboShortWordSize->addItem(QString::number(n));
        cboThresholdFrequency->addItem(QString::number(n));
    }
    for (int n = 0; n <= 9; ++n) {
        for (QComboBox* tens : {cboTitleWeight, cboDescriptionWeight, cboExistingKeywordsWeight})
            tens->addItem(QString::number(n * 10));
        for (QComboBox* units :
             {cboBoldWeight, cboItalicWeight, cboTableWeight, cboDivWeight, cboSpanWeight})
            units->addItem(QString::number(n));
    }
}

} // namespace tagwright
