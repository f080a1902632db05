// orvane-server under load: `orvane-server serve` on a demo database, and 8,
// 32 and 64 clients (threads of this process, on the same cores) each with
// its own session and record set, mixing catalogue searches, record set
// reads and additions to their set for 30 seconds a level. Prints requests
// per second and the 50th and 99th percentile latency per level, and then
// checks that every set holds exactly the ids its client added, in order.
//
// VELUMAR_LOAD_SECONDS sets the seconds per level, VELUMAR_LOAD_CLIENTS the
// levels ("8,32,64"), VELUMAR_LOAD_WORKERS the server's workers.

#include "protocol/json_codec.h"
#include "store/store.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using orvane::wire::Answer;
using orvane::wire::Request;

int run(const std::vector<std::string>& args) {
    std::string command = ORVANE_SERVER_BINARY;
    for (const auto& a : args)
        command += " '" + a + "'";
    command += " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
}

// `orvane-server serve` on a free port, stopped with SIGTERM at the end.
struct Server {
    pid_t pid = -1;
    int port = -1;

    Server(const std::string& db, const std::string& workers) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            std::vector<std::string> args{ORVANE_SERVER_BINARY, "serve", "--db", db, "--listen",
                                          "127.0.0.1:0", "--log", "/dev/null"};
            if (!workers.empty()) {
                args.push_back("--workers");
                args.push_back(workers);
            }
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(ORVANE_SERVER_BINARY, argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        FILE* out = ::fdopen(fds[0], "r");
        char line[256];
        while (out && std::fgets(line, sizeof line, out)) {
            const std::string text(line);
            if (const auto at = text.find("127.0.0.1:"); at != std::string::npos) {
                port = std::stoi(text.substr(at + 10));
                break;
            }
        }
        if (out)
            std::fclose(out);
    }
    ~Server() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

class Client {
public:
    explicit Client(int port) : http_("127.0.0.1", port) {
        http_.set_keep_alive(true);
        http_.set_read_timeout(30);
    }
    Answer send(const Request& request) {
        httplib::Headers headers;
        if (!token_.empty())
            headers.emplace("Authorization", "Bearer " + token_);
        auto res = http_.Post("/orvane/v1/request", headers, orvane::wire::encodeRequest(request),
                              "application/json");
        if (!res || res->status != 200)
            return {-1, {}};
        return orvane::wire::decodeAnswer(res->body).value.value_or(Answer{-2, {}});
    }
    bool login() {
        const Answer a = send({"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("demo")}}});
        const auto* tk = orvane::wire::findField(a.fields, "TK");
        if (a.status != 0 || !tk)
            return false;
        token_ = std::get<std::string>(tk->value);
        return true;
    }

private:
    httplib::Client http_;
    std::string token_;
};

struct Level {
    std::size_t clients = 0;
    std::size_t requests = 0;
    std::size_t failures = 0;
    double seconds = 0;
    std::vector<double> latencies; // milliseconds
};

double percentile(std::vector<double>& values, double p) {
    if (values.empty())
        return 0;
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
    return values[at];
}

std::vector<std::size_t> levels() {
    std::vector<std::size_t> out;
    const char* text = std::getenv("VELUMAR_LOAD_CLIENTS");
    std::stringstream in(text ? text : "8,32,64");
    for (std::string item; std::getline(in, item, ',');)
        if (const long n = std::atol(item.c_str()); n > 0)
            out.push_back(static_cast<std::size_t>(n));
    return out;
}

// The ids of one chunk answer ("RIDC", ids one a line).
void appendChunk(const Answer& answer, std::vector<std::int32_t>& ids) {
    const auto* text = orvane::wire::findField(answer.fields, "RIDC");
    if (!text)
        return;
    std::stringstream in(std::get<std::string>(text->value));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line != "\r")
            ids.push_back(std::atoi(line.c_str()));
}

} // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("velumar-load-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "load.db").string();
    if (run({"init", "--db", db, "--demo"}) != 0) {
        std::fprintf(stderr, "orvane-server init failed\n");
        return 1;
    }
    // Search keys and record ids from the demo catalogue itself.
    std::vector<std::string> keys;
    std::vector<std::int32_t> bibIds;
    {
        orvane::server::Store store(db);
        auto k = store.db().prepare("SELECT DISTINCT key FROM catalogue_index WHERE code = 'TI' "
                                    "ORDER BY key LIMIT 400");
        while (k.step())
            keys.push_back(k.text(0));
        auto ids = store.db().prepare(
            "SELECT record_id FROM catalogue_records WHERE record_type = 1 ORDER BY record_id");
        while (ids.step())
            bibIds.push_back(ids.int32(0));
    }
    const int seconds = std::getenv("VELUMAR_LOAD_SECONDS") ? std::atoi(std::getenv("VELUMAR_LOAD_SECONDS")) : 30;
    const char* workers = std::getenv("VELUMAR_LOAD_WORKERS");
    Server server(db, workers ? workers : "");
    if (server.port <= 0) {
        std::fprintf(stderr, "orvane-server serve did not start\n");
        return 1;
    }
    std::printf("server: %zu catalogue title words, %zu bibliographic records, %d s a level\n",
                keys.size(), bibIds.size(), seconds);

    bool allKept = true;
    int setNumber = 0;
    for (const std::size_t count : levels()) {
        // Each client: its own session and set, logged in one after another
        // (logins are rationed; their hashes are not what is measured).
        std::vector<std::unique_ptr<Client>> clients;
        std::vector<std::int32_t> sets;
        for (std::size_t i = 0; i < count; ++i) {
            clients.push_back(std::make_unique<Client>(server.port));
            if (!clients.back()->login()) {
                std::fprintf(stderr, "login %zu failed\n", i);
                return 1;
            }
            const Answer made = clients.back()->send(
                {"ADD_RECORD_SET", {{"RSN", "Load set " + std::to_string(++setNumber)},
                                    {"RST", 1}, {"RT", 1}, {"OI", std::string("demo")}}});
            const auto* id = orvane::wire::findField(made.fields, "RSID");
            if (made.status != 0 || !id) {
                std::fprintf(stderr, "ADD_RECORD_SET failed: %d\n", made.status);
                return 1;
            }
            sets.push_back(std::get<std::int32_t>(id->value));
        }

        std::vector<Level> results(count);
        std::vector<std::vector<std::int32_t>> added(count);
        std::atomic<bool> go{false};
        std::atomic<bool> stop{false};
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < count; ++i)
            threads.emplace_back([&, i] {
                std::mt19937 random(static_cast<unsigned>(i * 7919 + count));
                Level& mine = results[i];
                std::size_t nextId = i % bibIds.size();
                while (!go)
                    std::this_thread::yield();
                while (!stop) {
                    const unsigned pick = random() % 10;
                    Request request;
                    std::int32_t adding = 0;
                    if (pick < 5) {
                        request = {"CATALOGUE_SEARCH",
                                   {{"IX", std::string("TI")},
                                    {"KEY", keys[random() % keys.size()]},
                                    {"MH", 100},
                                    {"OI", std::string("demo")}}};
                    } else if (pick < 6) {
                        request = {"GET_RECORD_SETS", {{"OI", std::string("demo")}}};
                    } else if (pick < 8) {
                        request = {"GET_RECORD_SET", {{"RSID", sets[i]}, {"OI", std::string("demo")},
                                                      {"IDYN", std::string("Y")},
                                                      {"CB", std::string("1")}}};
                    } else {
                        // Each id once per set, so what the set should hold is known.
                        adding = bibIds[nextId];
                        nextId = (nextId + count) % bibIds.size();
                        request = {"ADD_TO_RECORD_SET", {{"OI", std::string("demo")},
                                                         {"RSID", sets[i]},
                                                         {"RID", adding}}};
                    }
                    const auto start = Clock::now();
                    const Answer answer = clients[i]->send(request);
                    const double ms =
                        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                    ++mine.requests;
                    mine.latencies.push_back(ms);
                    if (answer.status != 0)
                        ++mine.failures;
                    else if (adding != 0 &&
                             std::find(added[i].begin(), added[i].end(), adding) == added[i].end())
                        added[i].push_back(adding);
                }
            });
        const auto start = Clock::now();
        go = true;
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        stop = true;
        for (auto& t : threads)
            t.join();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

        Level total;
        for (auto& r : results) {
            total.requests += r.requests;
            total.failures += r.failures;
            total.latencies.insert(total.latencies.end(), r.latencies.begin(), r.latencies.end());
        }
        std::printf("%3zu clients: %7zu requests, %zu failed, %8.0f requests/s, p50 %6.1f ms, "
                    "p99 %6.1f ms\n",
                    count, total.requests, total.failures,
                    static_cast<double>(total.requests) / elapsed,
                    percentile(total.latencies, 0.50), percentile(total.latencies, 0.99));

        // Every set holds exactly what its client added, in the order added.
        for (std::size_t i = 0; i < count; ++i) {
            std::vector<std::int32_t> held;
            for (int chunk = 1; chunk > 0;) {
                const Answer a = clients[i]->send({"GET_RECORD_SET", {{"RSID", sets[i]},
                                                                      {"OI", std::string("demo")},
                                                                      {"IDYN", std::string("Y")},
                                                                      {"CB", std::to_string(chunk)}}});
                appendChunk(a, held);
                const auto* next = orvane::wire::findField(a.fields, "CB");
                chunk = next ? std::get<std::int32_t>(next->value) : 0;
            }
            if (held != added[i]) {
                std::printf("  set %d holds %zu ids, its client added %zu\n", sets[i],
                            held.size(), added[i].size());
                allKept = false;
            }
        }
    }
    std::printf(allKept ? "every set holds exactly what was added\n"
                        : "SOME SETS DO NOT HOLD WHAT WAS ADDED\n");
    fs::remove_all(dir);
    return allKept ? 0 : 1;
}
