#pragma once

#include "app/behaviour/EventLoop.h"
#include "app/behaviour/FormTable.h"
#include "app/behaviour/MainWindowView.h"
#include "app/behaviour/Services.h"
#include "app/qt/GuiThreadPost.h"
#include "app/qt/Twips.h"

#include <QColor>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class MainWindowBehaviour;

// The main window on Qt: the form table's controls show what the shared behaviour
// tells them, and each event goes to the behaviour's handler. It loads itself
// (Form_Load) when constructed and stores the settings when closed.
class mainform : public QWidget, public MainWindowView, public EventLoop {
    Q_OBJECT
public:
    // The colour dialog: the colour chosen, starting at start, or an invalid
    // colour on Cancel. Qt's unless given (tests give their own).
    using ColorChooser = std::function<QColor(const QColor& start, QWidget* owner)>;

    explicit mainform(Services services, ColorChooser chooseColor = {});
    ~mainform() override;

    // What the window shows and does, for tests to drive as the window system would.
    [[nodiscard]] MainWindowBehaviour& behaviour() { return *m_behaviour; }

    // MainWindowView
    void setText(Text which, const std::string& text) override;
    void setSwatchColor(Swatch which, std::int32_t color) override;
    void showChart(const std::optional<ChartPicture>& picture) override;
    void showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current) override;
    [[nodiscard]] WindowPlacement::Rect frame() const override;
    [[nodiscard]] std::vector<WindowPlacement::Rect> availableAreas() const override;
    [[nodiscard]] double twipsPerPixel() const override { return m_twips.perPixel(); }
    void moveTo(int left, int top) override { move(left, top); }
    [[nodiscard]] UsageChart::ChartRect chartBox() const override;
    [[nodiscard]] std::optional<std::int32_t> askColor(std::int32_t start) override;
    void openAbout() override;
    void closeWindow() override { close(); }

    // EventLoop
    void runTimer(Timer which, std::chrono::milliseconds interval) override { timer(which)->start(interval); }
    void stopTimer(Timer which) override { timer(which)->stop(); }
    void processWaitingEvents() override { QCoreApplication::processEvents(); }
    [[nodiscard]] Poster poster() override { return m_post.poster(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    [[nodiscard]] QFont layoutFont() const;
    void connectEvents();
    template <class Widget> [[nodiscard]] Widget* control(FormTable::Main which) const
    {
        return static_cast<Widget*>(m_controls[static_cast<std::size_t>(which)]);
    }
    [[nodiscard]] QTimer* timer(Timer which) const { return which == Timer::Refresh ? Timer1 : m_answerDeadline; }

    // The layout's twips at the screen's resolution when the window was made.
    Twips m_twips;
    std::unique_ptr<MainWindowBehaviour> m_behaviour;

    // The form table's controls, in its order; owned by the window.
    std::array<QWidget*, FormTable::mainControls.size()> m_controls{};
    ColorChooser m_chooseColor;
    QTimer* Timer1 = nullptr;
    // Ends the refresh whose drive has not answered in time.
    QTimer* m_answerDeadline = nullptr;

    // Last member, destroyed first: late answers stop reaching the window before any of it goes.
    GuiThreadPost m_post{this};
};
