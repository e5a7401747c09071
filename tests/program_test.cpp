// The real program run as a child process in a working directory of its own,
// watched from outside: its window on the test's X display, its standard error,
// its exit status and its config.cfg.
#include "harness.h"
#include "koniec/koniec.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char *const TYPOWY = "800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n";
const double CZAS_STARTU = 30.0;   // seconds a start-up may take on a loaded machine

struct Uruchomienie {
  std::vector<std::string> argumenty;
  bool bez_ekranu = false;
  bool jako_zwykly_uzytkownik = false;   // run as nobody when the test runs as root
  std::vector<std::pair<std::string, std::string>> srodowisko;
};

class Program {
 public:
  pid_t pid = -1;
  std::string bledy;   // everything written to standard error so far
  int status = 0;
  bool zakonczony = false;

  bool uruchom(const std::string &katalog, const Uruchomienie &u) {
    // The unprivileged user may not reach the build (a checkout in a folder
    // only its owner may enter): it runs a world-readable copy in the test's
    // own folder instead.
    std::string plik = BRIXEL_BINARY;
    bool zwykly = u.jako_zwykly_uzytkownik && getuid() == 0;
    if (zwykly) {
      plik = katalog + "/brixel";
      std::error_code blad;
      std::filesystem::copy_file(BRIXEL_BINARY, plik, std::filesystem::copy_options::overwrite_existing, blad);
      if (blad || chmod(plik.c_str(), 0755) != 0) return false;
    }
    int rura[2];
    if (pipe(rura) != 0) return false;
    pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
      if (chdir(katalog.c_str()) != 0) _exit(126);
      int zero = open("/dev/null", O_RDWR);
      dup2(zero, 0);
      dup2(zero, 1);
      dup2(rura[1], 2);
      close(rura[0]);
      if (u.bez_ekranu) unsetenv("DISPLAY");
      for (const auto &z : u.srodowisko) setenv(z.first.c_str(), z.second.c_str(), 1);
      if (zwykly && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
      std::vector<char *> argv;
      argv.push_back(const_cast<char *>(plik.c_str()));
      for (const auto &a : u.argumenty) argv.push_back(const_cast<char *>(a.c_str()));
      argv.push_back(nullptr);
      execv(plik.c_str(), argv.data());
      _exit(127);
    }
    close(rura[1]);
    fd_bledow = rura[0];
    fcntl(fd_bledow, F_SETFL, O_NONBLOCK);
    return true;
  }

  ~Program() {
    if (pid > 0 && !zakonczony) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (fd_bledow >= 0) close(fd_bledow);
  }

  // Waits up to sek seconds for the end of the program; true when it ended.
  bool czekaj_na_koniec(double sek) {
    auto koniec = std::chrono::steady_clock::now() + std::chrono::duration<double>(sek);
    while (!zakonczony) {
      zbierz_bledy();
      pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) {
        zakonczony = true;
        break;
      }
      if (std::chrono::steady_clock::now() > koniec) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    zbierz_bledy();
    return true;
  }

  // The program's window, polled until it shows; empty when the program ended
  // first or the time ran out.
  std::string okno(double sek = CZAS_STARTU) {
    auto koniec = std::chrono::steady_clock::now() + std::chrono::duration<double>(sek);
    while (std::chrono::steady_clock::now() < koniec) {
      if (czekaj_na_koniec(0)) return "";
      std::string w = wynik_polecenia("xdotool search --all --pid " + std::to_string(pid) +
                                      " --name '^BRIXEL$' 2>/dev/null");
      size_t nl = w.find('\n');
      if (nl != std::string::npos && nl > 0) return w.substr(0, nl);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
  }

  // SIGTERM, then the end; SIGKILL when it does not come.
  bool zatrzymaj() {
    kill(pid, SIGTERM);
    if (czekaj_na_koniec(20)) return true;
    kill(pid, SIGKILL);
    czekaj_na_koniec(5);
    return false;
  }

  bool zakonczyl_sie_kodem(int kod) const {
    return zakonczony && WIFEXITED(status) && WEXITSTATUS(status) == kod;
  }
  std::string opis_konca() const {
    if (!zakonczony) return "still running";
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
  }

 private:
  int fd_bledow = -1;

  void zbierz_bledy() {
    char bufor[4096];
    for (;;) {
      ssize_t n = read(fd_bledow, bufor, sizeof bufor);
      if (n > 0) {
        if (bledy.size() < (1u << 20)) bledy.append(bufor, n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      break;
    }
  }
};

bool rozmiar_okna(const std::string &okno, int *w, int *h) {
  std::string opis = wynik_polecenia("xwininfo -id " + okno + " 2>/dev/null");
  size_t a = opis.find("Width: "), b = opis.find("Height: ");
  if (a == std::string::npos || b == std::string::npos) return false;
  *w = atoi(opis.c_str() + a + 7);
  *h = atoi(opis.c_str() + b + 8);
  return true;
}

std::string wlasciwosc(const std::string &okno, const char *nazwa) {
  std::string s = wynik_polecenia("xprop -id " + okno + " " + nazwa + " 2>/dev/null");
  size_t r = s.find(" = ");
  if (r == std::string::npos) return "";
  s = s.substr(r + 3);
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

class ProgramZZewnatrz : public ::testing::Test {
 protected:
  std::string katalog;
  static pid_t klient_x;

  // An X server resets when its last client leaves and refuses connections
  // meanwhile; one client stays connected so that no start-up falls into that.
  static void SetUpTestSuite() {
    if (!getenv("DISPLAY")) return;
    klient_x = fork();
    if (klient_x == 0) {
      int zero = open("/dev/null", O_RDWR);
      dup2(zero, 1);
      dup2(zero, 2);
      execlp("xprop", "xprop", "-root", "-spy", (char *)nullptr);
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));   // time to connect
  }
  static void TearDownTestSuite() {
    if (klient_x > 0) {
      kill(klient_x, SIGTERM);
      waitpid(klient_x, nullptr, 0);
      klient_x = -1;
    }
  }

  void SetUp() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (system("command -v xdotool >/dev/null && command -v xwininfo >/dev/null && "
               "command -v xprop >/dev/null") != 0)
      GTEST_SKIP() << "needs xdotool, xwininfo and xprop";
    char wzor[] = "/tmp/brixel-program-XXXXXX";
    ASSERT_NE(mkdtemp(wzor), nullptr);
    katalog = wzor;
    ASSERT_EQ(chmod(katalog.c_str(), 0755), 0);
    for (const char *d : {"gfx", "sfx", "music"}) {
      std::string cel = std::string(BRIXEL_DATA_DIR) + "/" + d;
      ASSERT_EQ(symlink(cel.c_str(), (katalog + "/" + d).c_str()), 0);
    }
  }
  void TearDown() override {
    if (katalog.empty()) return;
    std::string polecenie = "rm -rf '" + katalog + "'";
    if (system(polecenie.c_str()) != 0) ADD_FAILURE() << "cannot remove " << katalog;
  }

  std::string sciezka(const char *nazwa) const { return katalog + "/" + nazwa; }
  void config(const std::string &tresc) const {
    std::ofstream(sciezka("config.cfg"), std::ios::binary) << tresc;
  }
  std::string tresc_configu() const {
    std::ifstream f(sciezka("config.cfg"), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }

  // Starts the program, waits for its window and reports its size (0 x 0 when
  // no window came), then stops it and expects status 0.
  void rozmiar_po_starcie(const Uruchomienie &u, int *w, int *h) {
    *w = *h = 0;
    Program p;
    ASSERT_TRUE(p.uruchom(katalog, u));
    std::string o = p.okno();
    ASSERT_FALSE(o.empty()) << "no window; " << p.opis_konca() << "; stderr: " << p.bledy;
    EXPECT_TRUE(rozmiar_okna(o, w, h));
    ASSERT_TRUE(p.zatrzymaj());
    EXPECT_TRUE(p.zakonczyl_sie_kodem(0)) << p.opis_konca() << "; stderr: " << p.bledy;
  }
};

pid_t ProgramZZewnatrz::klient_x = -1;

}  // namespace

TEST_F(ProgramZZewnatrz, StartujeZTytulemDzialaIKonczySieNaSigtermBezZapisu) {
  config(TYPOWY);
  struct stat przed;
  ASSERT_EQ(stat(sciezka("config.cfg").c_str(), &przed), 0);

  Program p;
  ASSERT_TRUE(p.uruchom(katalog, {}));
  std::string o = p.okno();
  ASSERT_FALSE(o.empty()) << "no window; " << p.opis_konca() << "; stderr: " << p.bledy;
  EXPECT_EQ(wlasciwosc(o, "WM_NAME"), "\"BRIXEL\"");
  EXPECT_EQ(wlasciwosc(o, "WM_ICON_NAME"), "\"opengl\"");
  int w = 0, h = 0;
  EXPECT_TRUE(rozmiar_okna(o, &w, &h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  EXPECT_FALSE(p.czekaj_na_koniec(1.5)) << "ended by itself: " << p.opis_konca() << "; " << p.bledy;
  ASSERT_TRUE(p.zatrzymaj()) << "SIGTERM did not end it";
  EXPECT_TRUE(p.zakonczyl_sie_kodem(0)) << p.opis_konca() << "; stderr: " << p.bledy;

  struct stat po;
  ASSERT_EQ(stat(sciezka("config.cfg").c_str(), &po), 0);
  EXPECT_EQ(tresc_configu(), TYPOWY);
  EXPECT_EQ(po.st_ino, przed.st_ino) << "config.cfg was replaced";
  EXPECT_EQ(po.st_mtim.tv_sec, przed.st_mtim.tv_sec);
  EXPECT_EQ(po.st_mtim.tv_nsec, przed.st_mtim.tv_nsec);
  for (const auto &w : std::filesystem::directory_iterator(katalog))
    EXPECT_NE(w.path().filename().string().rfind("config.cfg.tmp", 0), 0u) << "left behind: " << w.path();
}

// A start as on a desktop, without a window manager (a kiosk, a bare X server)
// and with one: nothing on standard error, in particular no mode switch that
// waits for a window manager to confirm it (SDL 3 reports its time-out five
// seconds after the start and switches back).
TEST_F(ProgramZZewnatrz, StartBezSlowaNaWyjsciuBledowZMenedzeremIBez) {
  config(TYPOWY);
  for (bool z_menedzerem : {false, true}) {
    SCOPED_TRACE(z_menedzerem ? "with openbox" : "without a window manager");
    if (z_menedzerem) {
      ASSERT_TRUE(wlacz_menedzera()) << "openbox did not start";
    }
    Program p;
    Uruchomienie u;
    u.srodowisko = {{"ALSOFT_DRIVERS", "null"}};
    ASSERT_TRUE(p.uruchom(katalog, u));
    EXPECT_FALSE(p.okno().empty()) << "no window; " << p.opis_konca() << "; stderr: " << p.bledy;
    EXPECT_FALSE(p.czekaj_na_koniec(6.5)) << "ended by itself: " << p.opis_konca();
    EXPECT_TRUE(p.zatrzymaj());
    EXPECT_TRUE(p.zakonczyl_sie_kodem(0)) << p.opis_konca();
    EXPECT_EQ(p.bledy, "");
    if (z_menedzerem) wylacz_menedzera();
  }
}

// SIGTERM or SIGINT at chosen moments of the start: the program ends within a
// second. Once its handling is set up (microseconds after the exec) it ends
// with status 0; a signal that comes before that may take its default action.
// The last moments fall inside a window's making that the display does not
// answer (the test hook holds it there for 20 s).
TEST_F(ProgramZZewnatrz, SygnalWKazdejChwiliStartuKonczyWSekunde) {
  config(TYPOWY);
  struct Chwila {
    int sygnal, po_ms;
    bool w_oknie;
  } chwile[] = {{SIGTERM, 50, false}, {SIGTERM, 90, false}, {SIGTERM, 200, false},
                {SIGTERM, 400, true}, {SIGINT, 400, true}};
  for (const Chwila &c : chwile) {
    SCOPED_TRACE(std::string(c.sygnal == SIGTERM ? "SIGTERM" : "SIGINT") + " after " + std::to_string(c.po_ms) +
                 " ms" + (c.w_oknie ? " in a stuck window" : ""));
    Program p;
    Uruchomienie u;
    u.srodowisko = {{"ALSOFT_DRIVERS", "null"}};
    if (c.w_oknie) u.srodowisko.push_back({"BRIXEL_STALL_WINDOW", "20"});
    ASSERT_TRUE(p.uruchom(katalog, u));
    std::this_thread::sleep_for(std::chrono::milliseconds(c.po_ms));
    auto wyslany = std::chrono::steady_clock::now();
    kill(p.pid, c.sygnal);
    ASSERT_TRUE(p.czekaj_na_koniec(20)) << "the signal did not end it; stderr: " << p.bledy;
    double sek = std::chrono::duration<double>(std::chrono::steady_clock::now() - wyslany).count();
    EXPECT_LT(sek, 1.1);
    bool domyslnie = WIFSIGNALED(p.status) && WTERMSIG(p.status) == c.sygnal && !c.w_oknie;
    EXPECT_TRUE(p.zakonczyl_sie_kodem(0) || domyslnie) << p.opis_konca() << "; stderr: " << p.bledy;
    EXPECT_EQ(tresc_configu(), TYPOWY);
  }
}

// A window the display never gives: after 10 s the program says so and ends
// with status 1, instead of waiting for ever.
TEST_F(ProgramZZewnatrz, OknoKtoreNiePrzychodziKonczySiePo10sKomunikatem) {
  config(TYPOWY);
  Program p;
  Uruchomienie u;
  u.srodowisko = {{"ALSOFT_DRIVERS", "null"}, {"BRIXEL_STALL_WINDOW", "60"}};
  auto poczatek = std::chrono::steady_clock::now();
  ASSERT_TRUE(p.uruchom(katalog, u));
  ASSERT_TRUE(p.czekaj_na_koniec(30)) << "still waiting for the window";
  double sek = std::chrono::duration<double>(std::chrono::steady_clock::now() - poczatek).count();
  EXPECT_GT(sek, 9.5);
  EXPECT_LT(sek, 12.0);
  EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
  EXPECT_EQ(p.bledy, KOMUNIKAT_OKNA);
}

TEST_F(ProgramZZewnatrz, BezEkranuKoniecZKomunikatemIKodem1) {
  config(TYPOWY);
  // No display, or one nobody answers at: SDL may still start a driver that
  // draws off-screen (SDL 2) or into the terminal (the classic library). The
  // program must end at once with status 1 and say there is no display.
  const char *const KOMUNIKAT = "Couldn't initialize SDL: no display to show the window on";
  for (const char *ekran : {"", ":73"}) {
    SCOPED_TRACE(std::string("DISPLAY=") + ekran);
    Program p;
    Uruchomienie u;
    u.bez_ekranu = true;
    if (*ekran) u.srodowisko = {{"DISPLAY", ekran}};
    auto poczatek = std::chrono::steady_clock::now();
    ASSERT_TRUE(p.uruchom(katalog, u));
    ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU)) << "still running without a display; stderr: " << p.bledy;
    double sek = std::chrono::duration<double>(std::chrono::steady_clock::now() - poczatek).count();
    EXPECT_LT(sek, 10.0);
    EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
    EXPECT_NE(p.bledy.find(KOMUNIKAT), std::string::npos) << "stderr: " << p.bledy;
  }

  // Limited to the X11 driver, the same start-up reports SDL's failure.
  Program x11;
  Uruchomienie u;
  u.bez_ekranu = true;
  u.srodowisko = {{"SDL_VIDEODRIVER", "x11"}};
  ASSERT_TRUE(x11.uruchom(katalog, u));
  ASSERT_TRUE(x11.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_TRUE(x11.zakonczyl_sie_kodem(1)) << x11.opis_konca();
  EXPECT_NE(x11.bledy.find("Couldn't initialize SDL: "), std::string::npos) << "stderr: " << x11.bledy;

  // A driver the player names is honoured, even one that shows nothing. The
  // dummy driver has no OpenGL on either library: the mode fails, not the display.
  Program atrapa;
  u.srodowisko = {{"SDL_VIDEODRIVER", "dummy"}};
  ASSERT_TRUE(atrapa.uruchom(katalog, u));
  ASSERT_TRUE(atrapa.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_EQ(atrapa.bledy.find(KOMUNIKAT), std::string::npos) << "stderr: " << atrapa.bledy;
  EXPECT_NE(atrapa.bledy.find("Couldn't set video mode: "), std::string::npos) << "stderr: " << atrapa.bledy;
  if (!sdl12compat()) {
    std::printf("note: SDL 2's off-screen driver, named by the player, is tried on sdl12-compat only\n");
    return;
  }
  // SDL 2's off-screen driver has OpenGL: named, the game runs there.
  Program poza;
  u.srodowisko = {{"SDL_VIDEODRIVER", "offscreen"}};
  ASSERT_TRUE(poza.uruchom(katalog, u));
  EXPECT_FALSE(poza.czekaj_na_koniec(3.0)) << poza.opis_konca() << "; stderr: " << poza.bledy;
  ASSERT_TRUE(poza.zatrzymaj());
  EXPECT_TRUE(poza.zakonczyl_sie_kodem(0)) << poza.opis_konca() << "; stderr: " << poza.bledy;
}

TEST_F(ProgramZZewnatrz, BezConfiguKomunikatKod1IBezOkna) {
  Program p;
  ASSERT_TRUE(p.uruchom(katalog, {}));
  EXPECT_EQ(p.okno(), "") << "a window opened without config.cfg";
  ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
  EXPECT_NE(p.bledy.find("Cannot open config.cfg file.\n"), std::string::npos) << "stderr: " << p.bledy;
  EXPECT_NE(access(sciezka("config.cfg").c_str(), F_OK), 0) << "config.cfg was created";
}

TEST_F(ProgramZZewnatrz, NieczytelnyConfigKomunikatIKod1) {
  config(TYPOWY);
  ASSERT_EQ(chmod(sciezka("config.cfg").c_str(), 0), 0);
  Program p;
  Uruchomienie u;
  u.jako_zwykly_uzytkownik = true;   // root would read the file anyway
  ASSERT_TRUE(p.uruchom(katalog, u));
  EXPECT_EQ(p.okno(), "");
  ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca() << "; stderr: " << p.bledy;
  EXPECT_NE(p.bledy.find("Cannot open config.cfg file.\n"), std::string::npos) << "stderr: " << p.bledy;
}

TEST_F(ProgramZZewnatrz, KatalogZamiastConfiguKomunikatIKod1) {
  ASSERT_EQ(mkdir(sciezka("config.cfg").c_str(), 0755), 0);
  Program p;
  ASSERT_TRUE(p.uruchom(katalog, {}));
  std::string o = p.okno();
  if (!o.empty()) p.zatrzymaj();
  EXPECT_EQ(o, "") << "started with a directory for config.cfg";
  ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
  EXPECT_NE(p.bledy.find("Cannot open config.cfg file.\n"), std::string::npos) << "stderr: " << p.bledy;
}

TEST_F(ProgramZZewnatrz, ZepsutyConfigStartujeAlboKonczySieCzysto) {
  std::vector<std::string> pliki;
  std::mt19937 los(77);
  for (int i = 0; i < 3; i++) {
    std::string s(300, '\0');
    for (char &c : s) c = (char)(los() & 0xff);
    pliki.push_back(s);
  }
  pliki.push_back("-800\n-600\n-16\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n");
  pliki.push_back("1\n1\n999999\n7\n7\n7\n7\n7\n7\n7\n2147483647\n");
  pliki.push_back(std::string(200000, '9') + "\n");
  for (size_t i = 0; i < pliki.size(); i++) {
    SCOPED_TRACE("config #" + std::to_string(i));
    config(pliki[i]);
    Program p;
    ASSERT_TRUE(p.uruchom(katalog, {}));
    std::string o = p.okno();
    if (!o.empty()) {
      ASSERT_TRUE(p.zatrzymaj());
      EXPECT_TRUE(p.zakonczyl_sie_kodem(0)) << p.opis_konca() << "; stderr: " << p.bledy;
      continue;
    }
    ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU));
    ASSERT_FALSE(WIFSIGNALED(p.status)) << p.opis_konca() << "; stderr: " << p.bledy;
    EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
    bool komunikat = p.bledy.find("Couldn't ") != std::string::npos ||
                     p.bledy.find("Cannot open config.cfg file.") != std::string::npos;
    EXPECT_TRUE(komunikat) << "no message; stderr: " << p.bledy;
  }
}

TEST_F(ProgramZZewnatrz, RozmiarZWierszaPolecenUstepujePlikowi) {
  config(TYPOWY);
  int w, h;
  Uruchomienie u;
  u.argumenty = {"resolution", "1024"};
  rozmiar_po_starcie(u, &w, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
}

TEST_F(ProgramZZewnatrz, RozmiarBezLiczbWPlikuZostajeDomyslnyAlboZWierszaPolecen) {
  config("abc\nxyz\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n");
  int w, h;
  rozmiar_po_starcie({}, &w, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  Uruchomienie u;
  u.argumenty = {"resolution", "640"};
  rozmiar_po_starcie(u, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST_F(ProgramZZewnatrz, NiemozliwyRozmiarKomunikatTrybuIKod1) {
  config("99999\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n");
  Program p;
  ASSERT_TRUE(p.uruchom(katalog, {}));
  std::string o = p.okno(CZAS_STARTU);
  EXPECT_EQ(o, "");
  ASSERT_TRUE(p.czekaj_na_koniec(CZAS_STARTU));
  EXPECT_TRUE(p.zakonczyl_sie_kodem(1)) << p.opis_konca();
  EXPECT_NE(p.bledy.find("Couldn't set video mode: "), std::string::npos) << "stderr: " << p.bledy;
}
