// brixel_gfxgen OUTPUT_DIR [FONT_DIR]
// brixel_gfxgen --icons ICON_DIR   (the icon at each size, ICON_DIR/NxN/apps/brixel.png)
// Makes every picture of the game and its font image into OUTPUT_DIR, the
// same bytes on every run. Fails with one line on stderr when the output
// folder or a font file is missing; pictures are written whole or not at all.
#include "gfx_pictures.h"
#include "gfx_png.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#ifndef BRIXEL_FONT_DIR
#define BRIXEL_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

static bool is_dir(const std::string &p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static bool is_readable_file(const std::string &p) {
  struct stat st;
  if (stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  FILE *f = fopen(p.c_str(), "rb");
  if (!f) return false;
  fclose(f);
  return true;
}

// The desktop icon at the sizes of the hicolor theme, into DIR/NxN/apps.
static int write_icons(const std::string &dir) {
  if (!is_dir(dir)) {
    fprintf(stderr, "brixel_gfxgen: output folder missing: %s\n", dir.c_str());
    return 1;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    std::string path = dir + "/" + std::to_string(size) + "x" + std::to_string(size);
    std::string err;
    for (const std::string &d : {path, path + "/apps"})
      if (mkdir(d.c_str(), 0755) != 0 && !is_dir(d)) {
        fprintf(stderr, "brixel_gfxgen: cannot make %s\n", d.c_str());
        return 1;
      }
    if (!write_png(path + "/apps/brixel.png", make_icon(size), err)) {
      fprintf(stderr, "brixel_gfxgen: %s\n", err.c_str());
      return 1;
    }
  }
  return 0;
}

int main(int argc, char **argv) {
  if (argc == 3 && std::string(argv[1]) == "--icons") return write_icons(argv[2]);
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: brixel_gfxgen OUTPUT_DIR [FONT_DIR] | --icons ICON_DIR\n");
    return 2;
  }
  std::string out = argv[1];
  std::string font_dir = argc == 3 ? argv[2] : BRIXEL_FONT_DIR;
  if (!is_dir(out)) {
    fprintf(stderr, "brixel_gfxgen: output folder missing: %s\n", out.c_str());
    return 1;
  }
  const std::string plain = font_dir + "/DejaVuSansMono-Bold.ttf";
  const std::string display = font_dir + "/DejaVuSans-Bold.ttf";
  for (const std::string &f : {plain, display})
    if (!is_readable_file(f)) {
      fprintf(stderr, "brixel_gfxgen: font file missing: %s\n", f.c_str());
      return 1;
    }

  // Everything is made in memory first, so a font problem writes nothing.
  struct Picture {
    const char *name;
    Image img;
  };
  std::vector<Picture> pics;
  Image font;
  std::string err;
  if (!make_font(plain, display, font, err)) {
    fprintf(stderr, "brixel_gfxgen: %s\n", err.c_str());
    return 1;
  }
  pics.push_back({"font.png", std::move(font)});
  pics.push_back({"background.png", make_background()});
  pics.push_back({"brick1.png", make_brick1()});
  pics.push_back({"brick2.png", make_brick2()});
  pics.push_back({"brick3.png", make_brick3()});
  pics.push_back({"brick4.png", make_brick4()});
  pics.push_back({"childbrick1.png", make_childbrick1()});
  pics.push_back({"childbrick2.png", make_childbrick2()});
  pics.push_back({"childbrick4.png", make_childbrick4()});
  pics.push_back({"wood1.png", make_wood1()});
  pics.push_back({"wood2.png", make_wood2()});
  pics.push_back({"column.png", make_column()});
  pics.push_back({"desk.png", make_desk()});
  pics.push_back({"alarm.png", make_alarm()});
  pics.push_back({"lightmap.png", make_lightmap()});
  pics.push_back({"lightpanel.png", make_lightpanel()});
  pics.push_back({"skill.png", make_skill()});
  pics.push_back({"bonuses.png", make_bonuses()});
  pics.push_back({"skull.png", make_skull()});
  pics.push_back({"shine.png", make_shine()});
  pics.push_back({"brixel-icon.png", make_icon(128)});

  for (const Picture &p : pics) {
    if (!write_png(out + "/" + p.name, p.img, err)) {
      fprintf(stderr, "brixel_gfxgen: %s\n", err.c_str());
      return 1;
    }
  }
  return 0;
}
