// The project page's one column of labelled fields, kept as wide as the page: the labels stay
// where the form puts them, the long fields (project name, folders, the method group) end a
// fixed gap before the page's right edge, as at the design size, and never get narrower than
// there. A page narrower than that scrolls.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QWidget;

namespace app {

class ProjectPageLayout : public QObject {
public:
    // The right edge of the long fields at the design size, and the page width there.
    static constexpr int kDesignRight = 905;
    static constexpr int kDesignPageWidth = 1130;
    static constexpr int kMinimumPageWidth = kDesignRight + 16;
    static constexpr int kMinimumPageHeight = 440;

    // A widget whose right edge follows the fields' right edge; `rightGap` pixels before it.
    struct Stretched {
        QWidget* widget = nullptr;
        int rightGap = 0;
    };
    // A widget kept `rightGap` pixels before the fields' right edge at its own width.
    struct Anchored {
        QWidget* widget = nullptr;
        int rightGap = 0;
    };

    ProjectPageLayout(QWidget* page, std::vector<Stretched> stretched,
                      std::vector<Anchored> anchored);

    // The right edge of the long fields on a page `pageWidth` wide.
    static int rightEdgeFor(int pageWidth);

    // Called after every arrangement, for widgets placed by rules of their own.
    void setAfterArrange(std::function<void()> afterArrange) {
        afterArrange_ = std::move(afterArrange);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void arrange(int pageWidth);

    QWidget* page_;
    std::vector<Stretched> stretched_;
    std::vector<Anchored> anchored_;
    std::function<void()> afterArrange_;
};

} // namespace app
