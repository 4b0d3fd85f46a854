#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About dialog: the application icon, title, version with release date,
// description and legal notice. The opener creates it for one showing, places
// it, runs it modally and deletes it afterwards. OK only hides it; the title
// bar's close button destroys it (deferred), so the opener must hold it in a
// QPointer and delete it only if it is still alive.
class frmABOUT : public QDialog {
    Q_OBJECT
public:
    // appDate and versionMod are the main window's AppDate and VersionMod texts.
    frmABOUT(QWidget* owner, const QString& appDate, const QString& versionMod);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    // The controls, named as their object names; owned by the dialog.
    QLabel* Picture1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblTitle = nullptr;

    QString m_appDate;
    QString m_versionMod;
};
