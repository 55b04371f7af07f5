#pragma once
#include <QMainWindow>
#include <memory>

class Viewer;

// The main window: the chart, the command box, the status labels and the menus.
class FormReview : public QMainWindow {
    Q_OBJECT
public:
    explicit FormReview(QWidget *parent = nullptr);
    ~FormReview() override;

    // Loads a file named on the command line once the window is up.
    void loadAfterStartUp(const QString &path);
    Viewer &viewer();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
