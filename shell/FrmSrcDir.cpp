#include "shell/FrmSrcDir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>

#include <vector>

#include "corpus/CorpusState.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"

namespace vyk {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentStep = 14;

// Draws each folder entry, icon and name, indented by its depth, as a
// folder tree does.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
    }

private:
    static int Indent(const QModelIndex& index) { return index.data(DepthRole).toInt() * IndentStep; }
};

// "/a/b" -> "/", "/a", "/a/b".
std::vector<QString> AncestorsAndSelf(const QString& path) {
    std::vector<QString> chain;
    QDir dir(path);
    for (;;) {
        chain.push_back(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    return {chain.rbegin(), chain.rend()};
}

QString EntryName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

void ShowExclamation(DialogService& dialogs, std::string_view text) {
    MsgRequest message;
    message.text = std::string(text);
    message.icon = MsgIcon::Exclamation;
    dialogs.MsgBox(message);
}

}  // namespace

FrmSrcDir::FrmSrcDir(CorpusState& corpus, ShellState& shell, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), corpus_(corpus), shell_(shell), dialogs_(dialogs) {
    setObjectName("frmSrcDir");
    createControls();
    connectEvents();
    // First showing: the lists open at the process's current folder and the
    // path box stays empty until the user picks something.
    fillDrives();
    if (listFolder(BytePath(QDir::currentPath())) || listFolder("/")) showDriveOf(dirPath_);
}

void FrmSrcDir::createControls() {
    static constexpr const char* LabelCaptions[] = {"", "&Path :", "&Drive :", "Link &URL :"};
    for (int i = 0; i < 4; ++i) {
        lbl[i] = new QLabel(QString::fromLatin1(LabelCaptions[i]), this);
        lbl[i]->setObjectName(QString("lbl_%1").arg(i));
    }
    lbl[0]->setWordWrap(true);

    tbsrcPath = new QLineEdit(this);
    tbsrcPath->setObjectName("tbsrcPath");
    srcDrive = new QComboBox(this);
    srcDrive->setObjectName("srcDrive");
    srcDir = new QListWidget(this);
    srcDir->setObjectName("srcDir");
    srcDir->setItemDelegate(new IndentDelegate(srcDir));
    srcDir->installEventFilter(this);
    coUrl = new QComboBox(this);
    coUrl->setObjectName("coUrl");
    coUrl->setEditable(true);
    cbOk = new QPushButton("&Ok", this);
    cbOk->setObjectName("cbOk");
    cbOk->setDefault(true);
    cbCancel = new QPushButton("&Cancel", this);
    cbCancel->setObjectName("cbCancel");

    lbl[1]->setBuddy(tbsrcPath);
    lbl[2]->setBuddy(srcDrive);
    lbl[3]->setBuddy(coUrl);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lbl[0], 0, 0, 1, 2);
    grid->addWidget(lbl[1], 1, 0);
    grid->addWidget(tbsrcPath, 1, 1);
    grid->addWidget(lbl[2], 2, 0);
    grid->addWidget(srcDrive, 2, 1);
    grid->addWidget(srcDir, 3, 0, 1, 2);
    grid->addWidget(lbl[3], 4, 0);
    grid->addWidget(coUrl, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cbOk);
    buttons->addWidget(cbCancel);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setRowStretch(3, 1);
    resize(440, 380);
}

void FrmSrcDir::connectEvents() {
    connect(srcDrive, &QComboBox::currentIndexChanged, this, [this] { srcDrive_Change(); });
    connect(srcDir, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) srcDir_Click();
    });
    connect(srcDir, &QListWidget::itemClicked, this, [this] { srcDir_Click(); });
    // A double click opens the folder, as the platform's folder list does.
    connect(srcDir, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { SetDirPath(BytePath(item->data(PathRole).toString())); });
    connect(cbOk, &QPushButton::clicked, this, [this] { cbOk_Click(); });
    connect(cbCancel, &QPushButton::clicked, this, [this] { cbCancel_Click(); });
}

void FrmSrcDir::fillDrives() {
    const QSignalBlocker blocker(srcDrive);
    srcDrive->clear();
    QStringList seen;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || seen.contains(root) || !QFileInfo(root).isDir()) continue;
        seen.push_back(root);
        const QString name = volume.displayName();
        srcDrive->addItem(name == root ? root : QString("%1  (%2)").arg(root, name), root);
    }
    if (!seen.contains("/")) srcDrive->insertItem(0, "/", QString("/"));
}

std::string FrmSrcDir::Drive() const {
    return BytePath(srcDrive->currentData().toString());
}

bool FrmSrcDir::SetDrive(const std::string& root) {
    const int index = srcDrive->findData(QtPath(root));
    if (index < 0) return false;
    if (index == srcDrive->currentIndex()) {
        srcDrive_Change();
    } else {
        srcDrive->setCurrentIndex(index);
    }
    return true;
}

void FrmSrcDir::showDriveOf(const std::string& path) {
    const int index = srcDrive->findData(QStorageInfo(QtPath(path)).rootPath());
    const QSignalBlocker blocker(srcDrive);
    if (index >= 0) srcDrive->setCurrentIndex(index);
}

bool FrmSrcDir::listFolder(const std::string& path) {
    const QString open = QDir(QtPath(path)).absolutePath();
    QDir dir(open);
    if (!dir.exists() || !dir.isReadable()) return false;

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QSignalBlocker blocker(srcDir);
    srcDir->clear();
    int depth = 0;
    for (const QString& ancestor : AncestorsAndSelf(open)) {
        auto* item = new QListWidgetItem(openIcon, EntryName(ancestor), srcDir);
        item->setData(PathRole, ancestor);
        item->setData(DepthRole, depth++);
    }
    const int openRow = srcDir->count() - 1;
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closedIcon, name, srcDir);
        item->setData(PathRole, dir.absoluteFilePath(name));
        item->setData(DepthRole, depth);
    }
    srcDir->setCurrentRow(openRow);
    dirPath_ = BytePath(open);
    return true;
}

bool FrmSrcDir::SetDirPath(const std::string& path) {
    if (!listFolder(path)) return false;
    srcDir_Change();
    return true;
}

int FrmSrcDir::DirListCount() const { return srcDir->count(); }

std::string FrmSrcDir::DirList(int index) const {
    const QListWidgetItem* item = srcDir->item(index);
    return item == nullptr ? std::string() : BytePath(item->data(PathRole).toString());
}

int FrmSrcDir::DirListIndex() const { return srcDir->currentRow(); }

void FrmSrcDir::SetDirListIndex(int index) {
    if (index < 0 || index >= srcDir->count()) return;
    if (index == srcDir->currentRow()) {
        srcDir_Click();
    } else {
        srcDir->setCurrentRow(index);
    }
}

void FrmSrcDir::srcDrive_Change() {
    const std::string root = Drive();
    const QStorageInfo volume(QtPath(root));
    if (!volume.isValid() || !volume.isReady() || !QFileInfo(QtPath(root)).isDir()) {
        ShowExclamation(dialogs_, DriveNotReadyText);
        showDriveOf(dirPath_);
        return;
    }
    if (!SetDirPath(root)) ShowExclamation(dialogs_, ApplicationErrorText);
}

// The path box follows the highlighted entry. Folder names keep their case:
// the file system tells names apart by it.
void FrmSrcDir::srcDir_Change() {
    tbsrcPath->setText(QtPath(DirList(DirListIndex())));
}

void FrmSrcDir::srcDir_Click() { srcDir_Change(); }

void FrmSrcDir::srcDir_KeyPress(int keyAscii) {
    const int highlighted = DirListIndex();
    if (keyAscii == 8) {
        if (highlighted >= 1) SetDirPath(DirList(highlighted - 1));
    } else if (keyAscii == 13) {
        if (highlighted >= 0) SetDirPath(DirList(highlighted));
    }
}

void FrmSrcDir::cbOk_Click() {
    const std::string path = BytePath(tbsrcPath->text());
    if (path.empty()) {
        tbsrcPath->setFocus();
        return;
    }
    shell_.gSrcDirCancelled = false;
    const std::string dir = WithoutTrailingSlash(path);
    if (!FileExists(DataFilePath(dir))) {
        MsgRequest message(NoVyakorFileText + PathText(path));
        message.icon = MsgIcon::Information;
        dialogs_.MsgBox(message);
        tbsrcPath->setFocus();
        return;
    }
    corpus_.gDataDir = dir;
    done(QDialog::Accepted);
}

void FrmSrcDir::cbCancel_Click() {
    shell_.gSrcDirCancelled = true;
    done(QDialog::Rejected);
}

// Esc is the cancel button.
void FrmSrcDir::reject() { cbCancel_Click(); }

// The close box answers neither way: gSrcDirCancelled keeps the last button's
// answer, and the chooser is unloaded.
void FrmSrcDir::closeEvent(QCloseEvent* event) {
    unloaded_ = true;
    QDialog::done(QDialog::Rejected);
    event->accept();
}

bool FrmSrcDir::eventFilter(QObject* watched, QEvent* event) {
    if (watched == srcDir && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Backspace) {
            srcDir_KeyPress(8);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            srcDir_KeyPress(13);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vyk
