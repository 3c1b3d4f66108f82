#include "app/qt/MainWindow.h"

#include "app/Instrument.h"
#include "app/qt/Artwork.h"
#include "app/qt/ParameterBar.h"
#include "app/qt/QtFrameDialogs.h"
#include "platform/qt/QtShell.h"
#include "scope/qt/ScopeViewWidget.h"
#include "spectrum/qt/SpectrumViewWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace tonewell {

namespace {

constexpr const char* kGeometryKey = "geometry";
constexpr const char* kScopeShareKey = "scopeShare";
constexpr const char* kBarSlotsKey = "barSlots";

// Each edition keeps its own window state: their panes and bars differ.
QString WindowSettingsGroup(int productEdition) { return QStringLiteral("MainWindow/edition%1").arg(productEdition); }

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QKeySequence ShortcutOf(int id) {
    switch (id) {
    case kCommandFileNew: return QKeySequence(Qt::CTRL | Qt::Key_N);
    case kCommandFileOpen: return QKeySequence(Qt::CTRL | Qt::Key_O);
    case kCommandFileSave: return QKeySequence(Qt::CTRL | Qt::Key_S);
    case kCommandAppExit: return QKeySequence(Qt::CTRL | Qt::Key_Q);
    case kCommandHelpTopic: return QKeySequence::HelpContents;  // the desktop's help request
    default: return {};
    }
}

// What a bar-switch button says beside its icon.
QString ShortCaptionOf(int id) {
    switch (id) {
    case kCommandShowSamplingBar: return QStringLiteral("Sampling");
    case kCommandShowTriggerBar: return QStringLiteral("Trigger");
    case kCommandShowScopeBar1:
    case kCommandShowSpectrumBar1: return QStringLiteral("Bar 1");
    case kCommandShowScopeBar2:
    case kCommandShowSpectrumBar2: return QStringLiteral("Bar 2");
    default: return {};
    }
}

// Menu items are grouped; a separator goes before the first of each group.
bool StartsGroup(int id) {
    return id == kCommandScopeExport || id == kCommandAppExit || id == kCommandFrequencyResponse ||
           id == kCommandSpectrumXScale ||
           id == kCommandTrigSampParameters || id == kCommandSavePanelDefault;
}

// The slot commands carry a check mark in the menu.
bool IsSlotCommand(int id) {
    return id == kCommandTrigSampParameters || id == kCommandScopeParameters || id == kCommandSpectrumParameters;
}

}  // namespace

MainWindow::MainWindow(QtShell& shell, Instrument& instrument, int productEdition, QWidget* parent)
    : QMainWindow(parent), shell_(shell), instrument_(instrument) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tonewell"));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);

    dialogs_ = std::make_unique<QtFrameDialogs>(
        this, instrument, [this](const QString& text) { showNote(text); }, [this] { return audioBackendName(); });
    frame_ = std::make_unique<CMainFrame>(instrument.frameParts(), *this, *dialogs_, productEdition);
    dialogs_->setFrame(frame_.get());

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->setAccessibleName(QStringLiteral("Panes"));
    scopePane_ = new ScopeViewWidget(instrument.scope, splitter_);
    scopePane_->setObjectName(QStringLiteral("scopePane"));
    scopePane_->setAccessibleName(QStringLiteral("Oscilloscope"));
    spectrumPane_ = new SpectrumViewWidget(instrument.spectrum, splitter_);
    spectrumPane_->setObjectName(QStringLiteral("spectrumPane"));
    spectrumPane_->setAccessibleName(QStringLiteral("Spectrum Analyzer"));
    splitter_->addWidget(scopePane_);
    splitter_->addWidget(spectrumPane_);
    frame_->setViewPictures(dialogs_->attachPanes(static_cast<ScopeViewWidget*>(scopePane_),
                                                  static_cast<SpectrumViewWidget*>(spectrumPane_)));
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    splitter_->handle(1)->setAccessibleName(QStringLiteral("Pane divider"));
    setCentralWidget(splitter_);

    buildMenus();
    buildCommandBar();
    buildParameterBars();

    audioLabel_ = new QLabel(this);
    audioLabel_->setObjectName(QStringLiteral("audioBackendLabel"));
    countsLabel_ = new QLabel(this);
    countsLabel_->setObjectName(QStringLiteral("runCountsLabel"));
    countsLabel_->hide();
    statusBar()->addPermanentWidget(countsLabel_);
    statusBar()->addPermanentWidget(audioLabel_);
    statusBar()->showMessage(QStringLiteral("Ready"));

    shell_.setWindow(this);
    shell_.commandHandler = [this](int id) { frame_->OnCommand(id); };
    shell_.timerHandler = [this](int id) { frame_->OnTimer(id); };

    // The framework updates its buttons whenever it is idle; a short period does the same here.
    refreshTimer_.setInterval(250);
    connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::refreshCommands);
    refreshTimer_.start();

    resize(960, 680);
    restoreSettings();
    recalcLayout();
    refreshCommands();
}

MainWindow::~MainWindow() {
    refreshTimer_.stop();
    shell_.commandHandler = nullptr;
    shell_.timerHandler = nullptr;
}

// ---- building -----------------------------------------------------------------------------

QAction* MainWindow::makeCommandAction(const FrameCommand& command) {
    auto* action = new QAction(FromView(command.text), this);
    action->setObjectName(QStringLiteral("command%1").arg(command.id));
    action->setData(command.id);
    // "prompt\ntip": the prompt for the status bar, the tip (else the prompt, else the caption)
    // for the tooltip.
    const QString prompt = FromView(command.prompt());
    const QString tip = FromView(command.tip()).trimmed();
    action->setStatusTip(prompt);
    action->setToolTip(!tip.isEmpty() ? tip : !prompt.isEmpty() ? prompt : FromView(command.text));
    action->setCheckable(command.checkButton || IsSlotCommand(command.id));
    action->setIcon(CommandIcon(command.id));
    action->setShortcut(ShortcutOf(command.id));
    if (!ShortCaptionOf(command.id).isEmpty()) action->setIconText(ShortCaptionOf(command.id));
    const int id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { frame_->OnCommand(id); });
    actions_[id] = action;
    return action;
}

void MainWindow::buildMenus() {
    menuBar()->setAccessibleName(QStringLiteral("Menu"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* setting = menuBar()->addMenu(QStringLiteral("&Setting"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    for (QMenu* menu : {file, setting, help}) {
        menu->setAccessibleName(menu->title().remove('&'));
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::refreshCommands);
    }
    for (const FrameCommand& command : FrameCommandTable()) {
        QMenu* menu = command.place == CommandPlace::FileMenu      ? file
                      : command.place == CommandPlace::SettingMenu ? setting
                      : command.place == CommandPlace::HelpMenu    ? help
                                                                   : nullptr;
        QAction* action = makeCommandAction(command);
        if (menu == nullptr) continue;
        if (StartsGroup(command.id)) menu->addSeparator();
        menu->addAction(action);
    }
}

void MainWindow::buildCommandBar() {
    commandBar_ = addToolBar(QStringLiteral("Command Bar"));
    commandBar_->setObjectName(QStringLiteral("commandBar"));
    commandBar_->setAccessibleName(QStringLiteral("Command Bar"));
    commandBar_->setMovable(false);
    commandBar_->setFloatable(false);
    for (int id : {kCommandRunStopInput, kCommandScopePane, kCommandSpectrumPane, kCommandRunStopOutput})
        commandBar_->addAction(actions_.at(id));
}

void MainWindow::buildParameterBars() {
    bars_ = MakeFrameBars(instrument_.panel);
    for (const FrameBar& bar : bars_) {
        QToolBar* toolbar = MakeParameterBar(bar, commandAction(bar.switchCommand), this);
        // The spectrum bars are wide: they take a row of their own (empty while their slot is).
        if (bar.slot == BarSlot::Spectrum && bar.shownInState == 1) addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, toolbar);
        barWidgets_.push_back(toolbar);
        // The button a bar too narrow for its controls shows at its end.
        for (QWidget* more : toolbar->findChildren<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
            more->setAccessibleName(QStringLiteral("More ") + toolbar->windowTitle());
    }
    for (QWidget* more : commandBar_->findChildren<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More commands"));
}

QAction* MainWindow::commandAction(int id) const {
    auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

// ---- panes --------------------------------------------------------------------------------

void MainWindow::replacePane(QWidget*& pane, QWidget* view, int index) {
    const bool hidden = pane->isHidden();
    if (view->accessibleName().isEmpty()) view->setAccessibleName(pane->accessibleName());
    QWidget* old = splitter_->replaceWidget(index, view);
    view->setVisible(!hidden);
    if (old != nullptr) old->deleteLater();
    pane = view;
}

void MainWindow::setScopeView(QWidget* view) { replacePane(scopePane_, view, 0); }

void MainWindow::setSpectrumView(QWidget* view) { replacePane(spectrumPane_, view, 1); }

void MainWindow::showPanes(bool scopeShown, bool spectrumShown) {
    scopePane_->setVisible(scopeShown);
    spectrumPane_->setVisible(spectrumShown);
    if (scopeShown && spectrumShown) {
        const int total = std::max(2, splitter_->height() - splitter_->handleWidth());
        splitter_->setSizes({total / 2, total - total / 2});
    }
}

int MainWindow::lowerPaneHeight() const { return spectrumPane_->isHidden() ? 0 : spectrumPane_->height(); }

// ---- frame window -------------------------------------------------------------------------

void MainWindow::recalcLayout() {
    for (std::size_t i = 0; i < barWidgets_.size(); ++i) barWidgets_[i]->setVisible(frame_->barShown(bars_[i]));
}

void MainWindow::updateCommandBar() { refreshCommands(); }

void MainWindow::refreshCommands() {
    for (const auto& [id, action] : actions_) {
        const CommandState state = frame_->commandState(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable()) action->setChecked(state.checked);
    }
    frame_->commandBarRefreshed();
    const QString counts = QString::fromStdString(frame_->runCountsText());
    countsLabel_->setText(counts);
    countsLabel_->setVisible(!counts.isEmpty());
}

void MainWindow::showWindow() {
    // The user's last split, where the panel shows both panes.
    QSettings settings;
    settings.beginGroup(WindowSettingsGroup(frame_->productEdition()));
    const QVariant share = settings.value(kScopeShareKey);
    if (share.isValid() && !scopePane_->isHidden() && !spectrumPane_->isHidden()) {
        const double upper = std::clamp(share.toDouble(), 0.1, 0.9);
        const int total = std::max(2, splitter_->height() - splitter_->handleWidth());
        splitter_->setSizes({static_cast<int>(total * upper), total - static_cast<int>(total * upper)});
    }
    show();
    raise();
    activateWindow();
    shownOnce_ = true;
}

void MainWindow::closeWindow() { close(); }

void MainWindow::setDocumentTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title) + QStringLiteral(" - Tonewell"));
}

void MainWindow::setAudioBackendName(const QString& name) { audioLabel_->setText(QStringLiteral("Audio: ") + name); }

QString MainWindow::audioBackendName() const { return audioLabel_->text(); }

QString MainWindow::runCountsText() const { return countsLabel_->text(); }

void MainWindow::showNote(const QString& text) { statusBar()->showMessage(text, 5000); }

// ---- events -------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!frame_->OnClose()) {
        event->ignore();
        return;
    }
    if (shownOnce_) saveSettings();
    refreshTimer_.stop();
    event->accept();
    emit programEnded();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    frame_->OnDropFile(urls.front().toLocalFile().toStdString());
}

// ---- settings -----------------------------------------------------------------------------

void MainWindow::restoreSettings() {
    QSettings settings;
    settings.beginGroup(WindowSettingsGroup(frame_->productEdition()));
    restoreGeometry(settings.value(kGeometryKey).toByteArray());
    const QVariantList barSlots = settings.value(kBarSlotsKey).toList();
    if (barSlots.size() == kBarSlotCount)
        for (int i = 0; i < kBarSlotCount; ++i) frame_->restoreSlotState(static_cast<BarSlot>(i), barSlots[i].toInt());
}

void MainWindow::saveSettings() const {
    QSettings settings;
    settings.beginGroup(WindowSettingsGroup(frame_->productEdition()));
    settings.setValue(kGeometryKey, saveGeometry());
    QVariantList barSlots;
    for (int i = 0; i < kBarSlotCount; ++i) barSlots << frame_->slotState(static_cast<BarSlot>(i));
    settings.setValue(kBarSlotsKey, barSlots);
    // Only a split of two shown panes says how the user likes them shared.
    const QList<int> sizes = splitter_->sizes();
    if (!scopePane_->isHidden() && !spectrumPane_->isHidden() && sizes.size() == 2 && sizes[0] + sizes[1] > 0)
        settings.setValue(kScopeShareKey, static_cast<double>(sizes[0]) / (sizes[0] + sizes[1]));
}

}  // namespace tonewell
