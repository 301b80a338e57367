#pragma once

#include <QWidget>

#include <functional>

class QPushButton;
class RetainedCanvas;

// The help window: the problem and the operating instructions, printed on a
// canvas. Its close button brings the main window back.
class Form4 : public QWidget
{
    Q_OBJECT

public:
    explicit Form4(std::function<void()> showMainWindow, QWidget *parent = nullptr);

    RetainedCanvas *picture() const { return m_picture; }
    QPushButton *closeButton() const { return m_command1; }

public slots:
    void Form_Activate();
    void Command1_Click();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<void()> m_showMainWindow;
    RetainedCanvas *m_picture = nullptr;
    QPushButton *m_command1 = nullptr;
    bool m_closing = false;
};
