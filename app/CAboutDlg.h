#pragma once

#include <QDialog>

class QLabel;

// The About box: title with the version, release line and notice line.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* Version = "18";
    static constexpr const char* BuildNumber = "24726";
    static constexpr const char* BuildDate = "04/01/2013 13:13";

    explicit CAboutDlg(QWidget* parent = nullptr);

    QString titleText() const;
    QString releaseText() const;
    QString noticeText() const;

private:
    QLabel* m_title;   // control 1026
    QLabel* m_release; // control 1027
    QLabel* m_notice;  // control 1039
};
