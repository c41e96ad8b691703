// Runs the real program on a pty, the way Kovrin's end-to-end tests use it.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Reads until CR or the deadline; an empty result means nothing came.
std::string read_answer(int fd, double timeout) {
    std::string out;
    auto start = Clock::now();
    while (seconds_since(start) < timeout && (out.empty() || out.back() != '\r')) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        char buf[64];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(EndToEnd, AnswersOnThePtyAndVanishesOnSigterm) {
    char log_path[] = "/tmp/upssim_e2e_XXXXXX";
    int log_fd = mkstemp(log_path);
    ASSERT_GE(log_fd, 0);
    close(log_fd);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(UPSSIM_EXE, UPSSIM_EXE, "--log", log_path, "-e", "0.2 load 40",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);

    // First line on stdout: the pty to open.
    std::string path;
    char ch;
    while (read(out[0], &ch, 1) == 1 && ch != '\n')
        path += ch;
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    usleep(300 * 1000); // let the -e event happen

    auto start = Clock::now();
    ASSERT_EQ(write(fd, "Q1\r", 3), 3);
    std::string answer = read_answer(fd, 2.0);
    double took = seconds_since(start);
    EXPECT_EQ(answer.size(), 47u) << answer;
    EXPECT_EQ(answer.rfind("(220.0 220.0 220.0 040 ", 0), 0u) << answer;
    EXPECT_GT(took, 0.18); // 47 bytes at 2400 baud
    EXPECT_LT(took, 1.0);

    // A client coming and going must not end the simulator.
    close(fd);
    fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "S.5R0010\r", 9), 9);
    ASSERT_EQ(write(fd, "Q1\r", 3), 3);
    answer = read_answer(fd, 2.0);
    ASSERT_EQ(answer.size(), 47u) << answer;
    EXPECT_EQ(answer.substr(38), "00001011\r");

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The device is gone: the pty reads end-of-file or EIO.
    char buf[8];
    ssize_t n = read(fd, buf, sizeof buf);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO));
    close(fd);
    close(out[0]);

    std::string log = slurp(log_path);
    EXPECT_NE(log.find("RX \"S.5R0010\""), std::string::npos) << log;
    EXPECT_NE(log.find("TX \"(220.0 220.0 220.0 040 50.0 13.6 25.0 00001001\\r\""),
              std::string::npos)
        << log;
    unlink(log_path);
}
