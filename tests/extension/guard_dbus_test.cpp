// quellguard --dbus on a private session bus, started by the bus on the first call, as a messaging app
// would reach it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDomDocument>
#include <QFile>
#include <fstream>
#include <nlohmann/json.hpp>

#include "engine/rule_store.h"
#include "extension/guard_dbus_service.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_environment.h"
#include "tests/support/wait.h"

namespace quell {
namespace {

class GuardOnDBus : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("QUELL_LOG", "stderr");
    qputenv("QUELL_DBUS_IDLE_SECONDS", "2");
    // Set before the daemon starts: the services it starts inherit the environment, the store included.
    ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订", "贷款", "回T"}}}));
    bus_ = std::make_unique<testing::PrivateBus>();
    bus_->addService(kGuardServiceName, std::string(QUELLGUARD_PATH) + " --dbus");
    connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), "guard-test"));
    ASSERT_TRUE(connection_->isConnected());
  }
  void TearDown() override {
    connection_.reset();
    QDBusConnection::disconnectFromBus("guard-test");
    bus_.reset();
  }
  // A plain method call, as a client that knows the interface makes it (no introspection first).
  QDBusMessage call(const char* method, const std::string& sender, const std::string& body) {
    QDBusMessage message = QDBusMessage::createMethodCall(kGuardServiceName, kGuardObjectPath, kGuardInterface, method);
    message << QString::fromStdString(sender) << QString::fromStdString(body);
    return connection_->call(message, QDBus::Block, 20000);
  }
  QString action(const std::string& sender, const std::string& body) {
    QDBusReply<QString> reply = call("HandleQueryRequest", sender, body);
    EXPECT_TRUE(reply.isValid()) << reply.error().message().toStdString();
    return reply.value();
  }

  testing::ScopedDataHome home_;
  std::unique_ptr<testing::PrivateBus> bus_;
  std::unique_ptr<QDBusConnection> connection_;
};

TEST_F(GuardOnDBus, IsStartedOnDemandAndAnswersAsTheFilterDoes) {
  EXPECT_FALSE(connection_->interface()->isServiceRegistered(kGuardServiceName));
  std::ifstream samples(std::string(QUELL_SOURCE_DIR) + "/samples/messages.jsonl");
  int compared = 0;
  for (std::string line; std::getline(samples, line);) {
    auto query = nlohmann::json::parse(line);
    if (!query.contains("sender") || !query.contains("messageBody")) continue;  // D-Bus strings cannot be absent
    const std::string sender = query["sender"], body = query["messageBody"];
    auto filter =
        testing::runProcess(QUELLGUARD_PATH, {"--sender", sender, "--body", body}, "", {{"QUELL_LOG", "stderr"}});
    EXPECT_EQ(action(sender, body).toStdString() + "\n", filter.out) << line;
    ++compared;
  }
  EXPECT_EQ(compared, 10);
  EXPECT_TRUE(connection_->interface()->isServiceRegistered(kGuardServiceName));  // started by the first call
}

TEST_F(GuardOnDBus, ExplainsTheDecision) {
  QDBusReply<QVariantMap> list = call("Explain", "13800138000", "回复退订");
  ASSERT_TRUE(list.isValid()) << list.error().message().toStdString();
  EXPECT_EQ(list.value()["action"].toString(), "junk");
  EXPECT_EQ(list.value()["stage"].toString(), "keyword-blacklist");
  EXPECT_EQ(list.value()["matched"].toStringList(), QStringList{"退订"});
}

// A client that reads the installed description gets what the service sends: the same interface on
// introspection, and a model decision's "words" typed aa{sv} even when no word of the body is known.
TEST_F(GuardOnDBus, ServesTheInterfaceAsItsDescriptionSays) {
  QDBusReply<QVariantMap> unknownWords = call("Explain", "13800138000", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
  ASSERT_TRUE(unknownWords.isValid()) << unknownWords.error().message().toStdString();
  EXPECT_EQ(unknownWords.value()["stage"].toString(), "model");
  EXPECT_EQ(unknownWords.value()["action"].toString(), "none");  // the bias alone calls nothing spam
  EXPECT_LE(unknownWords.value()["score"].toDouble(), unknownWords.value()["threshold"].toDouble());
  const QVariant words = unknownWords.value()["words"];
  ASSERT_TRUE(words.canConvert<QDBusArgument>());
  EXPECT_EQ(qvariant_cast<QDBusArgument>(words).currentSignature(), "aa{sv}");
  EXPECT_EQ(unknownWords.value()["matched"].metaType(), QMetaType::fromType<QStringList>());  // "as", empty

  QDBusMessage introspect = QDBusMessage::createMethodCall(kGuardServiceName, kGuardObjectPath,
                                                           "org.freedesktop.DBus.Introspectable", "Introspect");
  QDBusReply<QString> served = connection_->call(introspect, QDBus::Block, 20000);
  ASSERT_TRUE(served.isValid());
  QDomDocument servedXml, describedXml;
  ASSERT_TRUE(servedXml.setContent(served.value()));
  QFile described(QString(QUELL_SOURCE_DIR) + "/resources/dbus/app.quell.Guard1.xml");
  ASSERT_TRUE(described.open(QIODevice::ReadOnly));
  ASSERT_TRUE(describedXml.setContent(&described));
  // Each method of the description, with its arguments' names, types and directions, is served as such.
  auto signatures = [](const QDomDocument& xml) {
    QStringList methods;
    for (auto iface = xml.documentElement().firstChildElement("interface"); !iface.isNull();
         iface = iface.nextSiblingElement("interface")) {
      if (iface.attribute("name") != kGuardInterface) continue;
      for (auto method = iface.firstChildElement("method"); !method.isNull();
           method = method.nextSiblingElement("method")) {
        QString signature = method.attribute("name");
        for (auto arg = method.firstChildElement("arg"); !arg.isNull(); arg = arg.nextSiblingElement("arg"))
          signature +=
              " " + arg.attribute("direction", "in") + ":" + arg.attribute("name") + ":" + arg.attribute("type");
        methods << signature;
      }
    }
    methods.sort();
    return methods;
  };
  EXPECT_EQ(signatures(servedXml), signatures(describedXml));
  EXPECT_EQ(signatures(describedXml).size(), 2);
}

TEST_F(GuardOnDBus, QuitsWhenIdleAndIsStartedAgain) {
  EXPECT_EQ(action("13800138000", "回复退订"), "junk");
  EXPECT_TRUE(
      testing::waitFor([&] { return !connection_->interface()->isServiceRegistered(kGuardServiceName); }, 15000));
  EXPECT_EQ(action("13800138000", "好的，明天见。"), "none");
}

}  // namespace
}  // namespace quell

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qDBusRegisterMetaType<QList<QVariantMap>>();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
