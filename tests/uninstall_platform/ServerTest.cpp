// A wineserver that holds the prefix: found by its socket or its lock, in both the usual
// and Debian's place; while it runs nothing is changed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "TestPrefix.h"

namespace yarb {
namespace {

std::string ServerName(const std::string& prefix) {
  char real[PATH_MAX];
  EXPECT_NE(::realpath(prefix.c_str(), real), nullptr);
  struct stat st;
  EXPECT_EQ(::stat(real, &st), 0);
  char name[64];
  std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  return name;
}

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0700);
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = pfx.Open();
    ASSERT_NE(p, nullptr);
    usual = pfx.ServerRoot() + "/.wine-" + std::to_string(::getuid()) + "/" + ServerName(pfx.dir());
  }
  void ExpectRefusesChanges() {
    EXPECT_TRUE(p->ServerRunning());
    EXPECT_FALSE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Vendor", "Where", RegValue::Sz("x")));
    EXPECT_NE(p->LastError().find("Close every program"), std::string::npos);
    EXPECT_FALSE(p->WriteFile("C:\\a.txt", {'a'}));
    EXPECT_FALSE(p->CreateDirectory("C:\\d"));
    EXPECT_FALSE(p->MoveFileDelayed("C:\\a", "", false));
    EXPECT_FALSE(p->DeleteService("VellSvc"));
    EXPECT_FALSE(p->WriteProfileString("win.ini", "a", "b", "c"));
    EXPECT_EQ(test::ReadText(pfx.dir() + "/system.reg"), test::kSystemReg);
    EXPECT_TRUE(p->Refusals().empty());
  }
  test::TempPrefix pfx;
  std::unique_ptr<WinePrefix> p;
  std::string usual;
};

TEST_F(ServerTest, NamesBothPlaces) {
  test::WriteText(pfx.dir() + "/wineserver", "wine-AbC123\n");
  auto dirs = p->ServerDirectories();
  ASSERT_EQ(dirs.size(), 2u);
  EXPECT_EQ(dirs[0], usual);
  EXPECT_EQ(dirs[1], pfx.ServerRoot() + "/wine-AbC123/" + ServerName(pfx.dir()));
}

TEST_F(ServerTest, NoServerNoStaleFiles) {
  EXPECT_FALSE(p->ServerRunning());
  // What a server leaves behind when it has ended: a lock file nobody holds.
  MakeDirs(usual);
  test::WriteText(usual + "/lock", "");
  EXPECT_FALSE(p->ServerRunning());
  EXPECT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Vendor", "Where", RegValue::Sz("x")));
}

TEST_F(ServerTest, ListeningSocket) {
  MakeDirs(usual);
  std::string sock = usual + "/socket";
  ASSERT_LT(sock.size(), sizeof(sockaddr_un::sun_path));
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 4), 0);
  ExpectRefusesChanges();
  ::close(fd);
  // A socket file nobody listens on is stale.
  EXPECT_FALSE(p->ServerRunning());
}

TEST_F(ServerTest, DebianPlaceWithLockHeldByAnotherProcess) {
  test::WriteText(pfx.dir() + "/wineserver", "wine-AbC123\n");
  std::string dir = pfx.ServerRoot() + "/wine-AbC123/" + ServerName(pfx.dir());
  MakeDirs(dir);
  test::WriteText(dir + "/lock", "");
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(done[1]);
    ::close(ready[0]);
    int fd = ::open((dir + "/lock").c_str(), O_RDWR);
    struct flock fl{};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    char c = ::fcntl(fd, F_SETLK, &fl) == 0 ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    (void)!::read(done[0], &c, 1);  // hold the lock until the parent is done
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  ExpectRefusesChanges();
  ::close(done[1]);
  int status;
  ::waitpid(child, &status, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ::close(done[0]);
  EXPECT_FALSE(p->ServerRunning());
}

TEST_F(ServerTest, ChangesHeldInMemoryAreNotWrittenWhileItRuns) {
  ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Vendor", "Where", RegValue::Sz("x")));
  MakeDirs(usual);
  std::string sock = usual + "/socket";
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 4), 0);
  EXPECT_FALSE(p->Flush());
  EXPECT_EQ(test::ReadText(pfx.dir() + "/system.reg"), test::kSystemReg);
  ::close(fd);
  EXPECT_TRUE(p->Flush());
  EXPECT_NE(test::ReadText(pfx.dir() + "/system.reg"), test::kSystemReg);
}

}  // namespace
}  // namespace yarb
