#pragma once

#include <QWidget>

class QAction;
class QMenu;

namespace vyk {

class FrmSutra;

inline constexpr int SortFilePopup = 0;  // PopupSubMenu: the "Sort-File" menu, opened from the lists
inline constexpr int ViewPopup = 1;      // PopupSubMenu: the "View" menu, opened from the pane

// The window that carries the two popup menus of the sutra window. It is
// never shown; its menus open where the user presses the right or middle
// button, and their items run the sutra window's commands.
class FrmPop : public QWidget {
    Q_OBJECT
public:
    explicit FrmPop(FrmSutra& owner);
    ~FrmPop() override;

    // The menu at a PopupSubMenu position; nullptr for any other value.
    QMenu* SubMenu(int popupSubMenu) const;
    // The View item of section k (1 to 7).
    QAction* ViewItem(int k) const;

    QMenu* mSort = nullptr;
    QAction* mFileAstadhyayi = nullptr;
    QAction* mFileSKaumudi = nullptr;
    QAction* mFileLKaumudi = nullptr;
    QAction* null1 = nullptr;
    QAction* mSortNumerical = nullptr;
    QAction* mSortAlphabetical = nullptr;

    QMenu* mView = nullptr;
    QAction* mViewSutra = nullptr;
    QAction* mViewSandhi = nullptr;
    QAction* mViewVartika = nullptr;
    QAction* mViewVritti = nullptr;
    QAction* mViewAnuVritti = nullptr;
    QAction* mViewTranslation = nullptr;
    QAction* mViewExplanation = nullptr;

private:
    void createMenus();
    void connectEvents();

    FrmSutra& owner_;
};

}  // namespace vyk
