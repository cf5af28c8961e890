// A real Qt text window for the end-to-end tests: a rich-text editor with the focus that
// reports its text and cursor position to a file after every change.
#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QSaveFile>
#include <QTextEdit>
#include <QTimer>

// Takes pictures from the clipboard as word processors do; QTextEdit alone takes text only.
class PictureTextEdit : public QTextEdit
{
protected:
    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (source->hasImage() && !source->hasText()) {
            const QImage image = qvariant_cast<QImage>(source->imageData());
            document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted")),
                                    image);
            textCursor().insertImage(QStringLiteral("pasted"));
            return;
        }
        QTextEdit::insertFromMimeData(source);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString reportPath = QString::fromLocal8Bit(argv[1]);
    PictureTextEdit edit;
    edit.setWindowTitle(QStringLiteral("SnapwickTestWindow"));
    edit.setAcceptRichText(true);
    edit.resize(600, 300);
    const auto report = [&] {
        const QString html = edit.toHtml();
        QJsonObject o{
            {QStringLiteral("text"), edit.toPlainText()},
            {QStringLiteral("cursor"), edit.textCursor().position()},
            {QStringLiteral("bold"), html.contains(QStringLiteral("font-weight:700")) ||
                                         html.contains(QStringLiteral("font-weight:600"))},
            {QStringLiteral("images"), int(html.count(QStringLiteral("<img")))},
            {QStringLiteral("focus"), edit.hasFocus()}};
        QSaveFile f(reportPath);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QJsonDocument(o).toJson(QJsonDocument::Compact));
            f.commit();
        }
    };
    QObject::connect(&edit, &QTextEdit::textChanged, report);
    QObject::connect(&edit, &QTextEdit::cursorPositionChanged, report);
    edit.show();
    edit.activateWindow();
    edit.raise();
    edit.setFocus();
    QTimer::singleShot(200, report);
    QTimer focusReport;
    QObject::connect(&focusReport, &QTimer::timeout, report);
    focusReport.start(500);
    return app.exec();
}
