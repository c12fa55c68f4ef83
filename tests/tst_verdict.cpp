#include <QTest>
class tst_X : public QObject { Q_OBJECT };
QTEST_APPLESS_MAIN(tst_X)
#include "tst_verdict.moc"
