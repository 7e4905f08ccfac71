#pragma once
// frmMain: the main window. For now a bare window; its controls, menus and
// timing come with the main window work.

#include <QMainWindow>

namespace spinlog {

class Program;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(Program &program, QWidget *parent = nullptr);

private:
    Program &program_;
};

}  // namespace spinlog
