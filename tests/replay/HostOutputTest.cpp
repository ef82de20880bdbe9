// What the host prints: whole lines, under one lock with the console lines other threads log,
// and never stopped by a signal that lands while a write waits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "PluginSession.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "StopOnSignals.h"

namespace {

// Takes every write the host makes and notes those that do not end a line, and those made while
// another thread, as the plugin's writer thread is, could have taken the host's output lock.
class LockCheckingBuffer : public std::streambuf {
 public:
  explicit LockCheckingBuffer(std::mutex& lock) : lock_(lock) {}

  std::string text;
  std::vector<std::string> unlocked;
  std::vector<std::string> partial;

 protected:
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    Check(std::string(data, static_cast<std::size_t>(size)));
    return size;
  }
  int overflow(int c) override {
    if (c != traits_type::eof()) Check(std::string(1, static_cast<char>(c)));
    return c;
  }

 private:
  void Check(const std::string& written) {
    const bool free = std::async(std::launch::async, [this] {
                        const std::unique_lock attempt(lock_, std::try_to_lock);
                        return attempt.owns_lock();
                      }).get();
    if (free) unlocked.push_back(written);
    if (!written.ends_with('\n')) partial.push_back(written);
    text += written;
  }

  std::mutex& lock_;
};

TEST(HostOutput, EveryLineIsWrittenWholeUnderTheLockConsoleLinesGoOutUnder) {
  testing_support::PluginSession session;
  auto& host = session.Host();
  LockCheckingBuffer buffer(host.OutputLock());
  std::ostream out(&buffer);
  host.SetConsoleOutput(
      [&out](std::string_view line) { out << "console: " + std::string(line) + '\n'; });
  host::SessionRunner runner(host, session.Loaded(), out, {.trace = true});
  runner.Run(host::ParseSession("0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n"
                                "3 frame\n3 show quillon_posx\n3 settings\n",
                                "lines.session", host::RegistryCheck(host)),
             "lines.session");
  std::thread([&host] { host.Log("from another thread"); }).join();
  host.SetConsoleOutput(nullptr);

  EXPECT_EQ(buffer.unlocked, std::vector<std::string>{}) << buffer.text;
  EXPECT_EQ(buffer.partial, std::vector<std::string>{}) << buffer.text;
  for (const char* line : {"3.000 Resets: 0 | Height: 0 | Time: 0.00\n", "3.000 quillon_posx = ",
                           "3.000 settings\n", "console: from another thread\n"}) {
    EXPECT_NE(buffer.text.find(line), std::string::npos) << line << " in\n" << buffer.text;
  }
}

// The state of a thread of this process, as the system reports it ('S': asleep in a call).
char ThreadState(pid_t thread) {
  std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t name = text.rfind(')');
  return name == std::string::npos || name + 2 >= text.size() ? '?' : text[name + 2];
}

TEST(HostOutput, AWriteWaitingOnAFullPipeGoesOnAfterSigintOrSigterm) {
  for (const auto& [signal, name] : {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"}}) {
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK), 0);
    const std::vector<char> chunk(4096, 'x');
    while (::write(pipe[1], chunk.data(), chunk.size()) > 0) {
    }
    while (::write(pipe[1], chunk.data(), 1) > 0) {
    }
    ::fcntl(pipe[1], F_SETFL, 0);
    const host::StopOnSignals stop;
    std::atomic<pid_t> writerId = 0;
    ssize_t written = 0;
    int error = 0;
    std::thread writer([&] {
      writerId = ::gettid();
      written = ::write(pipe[1], "y", 1);
      error = errno;
    });
    // Until the writer waits in its write (a generous bound: the machine may be busy).
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((writerId == 0 || ThreadState(writerId) != 'S') &&
           std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::pthread_kill(writer.native_handle(), signal);
    while (!host::StopOnSignals::Requested() && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::vector<char> drained(chunk.size());
    EXPECT_GT(::read(pipe[0], drained.data(), drained.size()), 0);
    writer.join();
    EXPECT_EQ(written, 1) << name << ": " << std::strerror(error);
    EXPECT_STREQ(host::StopOnSignals::Name(), name);
    ::close(pipe[0]);
    ::close(pipe[1]);
  }
}

}  // namespace
