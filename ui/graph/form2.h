#pragma once

#include <QWidget>

class QPushButton;
class RetainedCanvas;
struct Module1;

// The graph window: the observed ratio of multiples of three against the
// number of automatic draws, drawn over whatever was drawn before.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(const Module1 &record, QWidget *parent = nullptr);

    RetainedCanvas *picture() const { return m_picture; }
    QPushButton *closeButton() const { return m_command1; }

public slots:
    void Form_Activate();
    void Command1_Click();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void drawFrame();
    void drawCurve();
    void describeCurve();

    const Module1 &m_record;
    RetainedCanvas *m_picture = nullptr;
    QPushButton *m_command1 = nullptr;
};
