// The encoder of the video files, over FFmpeg's libraries, on a thread of its
// own. Built as the module brixel-video.so, which the game loads only for an
// export (zaladuj.cpp), so that FFmpeg and all it brings are not loaded at
// every start. It shows one name, brixel_koder: the table of its calls. The main thread hands over frames (RGBA as read back) and the sound of
// every pass through a short queue; the thread converts the frames (swscale,
// or the fixed palette of the GIF), the sound (swresample, into the audio
// encoder's frames), encodes and writes them. Only API present from FFmpeg 5.1
// on: AVChannelLayout, send_frame/receive_packet, const AVCodec.
#include "wideo/wideo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

struct Porcja {            // one item of the queue
  bool obraz = true;       // a frame, or a pass's sound
  std::vector<uint8_t> rgba;
  std::vector<short> pcm;
};

const size_t NAJWIECEJ_KLATEK = 6;   // frames the main thread may be ahead

struct Koder {
  int rodzaj = RODZAJ_MP4;
  int w = 0, h = 0, ow = 0, oh = 0;  // read back, and written
  AVFormatContext *oc = nullptr;
  AVCodecContext *wc = nullptr, *ac = nullptr;   // video, audio
  AVStream *ws = nullptr, *as = nullptr;
  SwsContext *sws = nullptr;
  SwrContext *swr = nullptr;
  AVAudioFifo *fifo = nullptr;
  AVFrame *klatka = nullptr, *dzwiek = nullptr;
  AVPacket *pakiet = nullptr;
  std::vector<uint8_t> rgb;          // the GIF's scaled frame before its palette
  long long nr_klatki = 0, nr_probki = 0;
  bool naglowek = false;
  // The queue and the thread.
  std::mutex zamek;
  std::condition_variable zmiana;
  std::deque<Porcja> kolejka;
  size_t klatek_w_kolejce = 0;
  bool koniec = false, przerwany = false;
  std::thread watek;
  bool zawiodl = false;
  std::string blad;
  double sekundy = 0, czekanie = 0;
};

Koder *k = nullptr;

std::string opis(int kod) {
  char b[AV_ERROR_MAX_STRING_SIZE] = "";
  av_strerror(kod, b, sizeof b);
  return b;
}

void porazka(const std::string &co) {
  if (!k->zawiodl) k->blad = co;
  k->zawiodl = true;
}

// Everything the encoder gives back, written to the file.
bool wypisz(AVCodecContext *c, AVStream *s) {
  for (;;) {
    int r = avcodec_receive_packet(c, k->pakiet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) {
      porazka("the encoder failed (" + opis(r) + ")");
      return false;
    }
    // A frame lasts one tick of the video's time base. Encoders of FFmpeg 5.1
    // leave it 0, and the MP4 track would then end at the last frame's start,
    // so that players drop it.
    if (c == k->wc && k->pakiet->duration <= 0) k->pakiet->duration = 1;
    av_packet_rescale_ts(k->pakiet, c->time_base, s->time_base);
    k->pakiet->stream_index = s->index;
    r = av_interleaved_write_frame(k->oc, k->pakiet);
    if (r < 0) {
      porazka("cannot write the file (" + opis(r) + ")");
      return false;
    }
  }
}

bool wyslij(AVCodecContext *c, AVStream *s, AVFrame *f) {
  int r = avcodec_send_frame(c, f);
  if (r < 0) {
    porazka("the encoder failed (" + opis(r) + ")");
    return false;
  }
  return wypisz(c, s);
}

// The GIF's palette: a cube of 6 levels a colour (entries 0-215), then 16
// greys (216-231), since the room is mostly grey stone; the entries after them
// stay transparent, for the encoder's unchanged pixels. Pixels are dithered
// with a 4 x 4 ordered pattern fixed in place, so that still parts of the
// picture stay the same from frame to frame.
const int SZARE = 16;
const int WZOR[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// v (0-255) as one of `poziomy` levels, dithered by prog (0-15).
int poziom_dithera(int v, int poziomy, int prog) {
  int l = (v * (poziomy - 1) * 32 + (2 * prog + 1) * 255) / (255 * 32);
  return l < poziomy - 1 ? l : poziomy - 1;
}

uint8_t indeks_palety(const uint8_t *p, int x, int y) {
  int prog = WZOR[y & 3][x & 3];
  int mx = std::max({p[0], p[1], p[2]}), mn = std::min({p[0], p[1], p[2]});
  if (mx - mn < 12) return (uint8_t)(216 + poziom_dithera((p[0] + p[1] + p[2]) / 3, SZARE, prog));
  return (uint8_t)(poziom_dithera(p[0], 6, prog) * 36 + poziom_dithera(p[1], 6, prog) * 6 +
                   poziom_dithera(p[2], 6, prog));
}

void paleta(uint32_t *pal) {
  for (int i = 0; i < 256; i++) pal[i] = 0;
  for (int r = 0; r < 6; r++)
    for (int g = 0; g < 6; g++)
      for (int b = 0; b < 6; b++)
        pal[r * 36 + g * 6 + b] = 0xff000000u | (uint32_t)(r * 51) << 16 | (uint32_t)(g * 51) << 8 | (uint32_t)(b * 51);
  for (int i = 0; i < SZARE; i++) {
    uint32_t v = (uint32_t)(i * 255 / (SZARE - 1));
    pal[216 + i] = 0xff000000u | v << 16 | v << 8 | v;
  }
}

void zakoduj_klatke(const std::vector<uint8_t> &rgba) {
  if (av_frame_make_writable(k->klatka) < 0) return porazka("out of memory");
  // Read back bottom row first: the last row, walked upwards.
  const uint8_t *zrodlo[1] = {rgba.data() + (size_t)(k->h - 1) * k->w * 4};
  int krok[1] = {-k->w * 4};
  if (k->rodzaj == RODZAJ_GIF) {
    uint8_t *cel[1] = {k->rgb.data()};
    int krok_celu[1] = {k->ow * 3};
    sws_scale(k->sws, zrodlo, krok, 0, k->h, cel, krok_celu);
    for (int y = 0; y < k->oh; y++) {
      uint8_t *wiersz = k->klatka->data[0] + (size_t)y * k->klatka->linesize[0];
      const uint8_t *p = k->rgb.data() + (size_t)y * k->ow * 3;
      for (int x = 0; x < k->ow; x++) wiersz[x] = indeks_palety(p + 3 * x, x, y);
    }
    paleta(reinterpret_cast<uint32_t *>(k->klatka->data[1]));
  } else {
    sws_scale(k->sws, zrodlo, krok, 0, k->h, k->klatka->data, k->klatka->linesize);
  }
  k->klatka->pts = k->nr_klatki++;
  wyslij(k->wc, k->ws, k->klatka);
}

// Whole frames of the audio encoder from the FIFO; at the end the rest too.
void wyslij_dzwiek(bool wszystko) {
  int n = k->ac->frame_size > 0 ? k->ac->frame_size : 1024;
  while (!k->zawiodl && (av_audio_fifo_size(k->fifo) >= n || (wszystko && av_audio_fifo_size(k->fifo) > 0))) {
    int ile = std::min(n, av_audio_fifo_size(k->fifo));
    if (av_frame_make_writable(k->dzwiek) < 0) return porazka("out of memory");
    k->dzwiek->nb_samples = ile;
    av_audio_fifo_read(k->fifo, reinterpret_cast<void **>(k->dzwiek->data), ile);
    k->dzwiek->pts = k->nr_probki;
    k->nr_probki += ile;
    wyslij(k->ac, k->as, k->dzwiek);
  }
}

void zakoduj_dzwiek(const std::vector<short> &pcm) {
  int ramki = (int)pcm.size() / 2;
  uint8_t **bufor = nullptr;
  if (av_samples_alloc_array_and_samples(&bufor, nullptr, 2, ramki, k->ac->sample_fmt, 0) < 0)
    return porazka("out of memory");
  const uint8_t *we[1] = {reinterpret_cast<const uint8_t *>(pcm.data())};
  int got = swr_convert(k->swr, bufor, ramki, we, ramki);
  if (got < 0 || av_audio_fifo_write(k->fifo, reinterpret_cast<void **>(bufor), got) < got) porazka("out of memory");
  av_freep(&bufor[0]);
  av_freep(&bufor);
  wyslij_dzwiek(false);
}

void watek_kodera() {
  std::unique_lock<std::mutex> l(k->zamek);
  for (;;) {
    k->zmiana.wait(l, [] { return k->przerwany || k->koniec || !k->kolejka.empty(); });
    if (k->przerwany) return;
    if (k->kolejka.empty()) break;   // the end, all done
    Porcja p = std::move(k->kolejka.front());
    k->kolejka.pop_front();
    l.unlock();
    auto t0 = std::chrono::steady_clock::now();
    if (!k->zawiodl) {
      if (p.obraz) zakoduj_klatke(p.rgba);
      else if (k->ac) zakoduj_dzwiek(p.pcm);
    }
    k->sekundy += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    l.lock();
    if (p.obraz) k->klatek_w_kolejce--;
    k->zmiana.notify_all();
  }
  l.unlock();
  auto t0 = std::chrono::steady_clock::now();
  // The encoders emptied, the trailer written.
  if (!k->zawiodl && k->ac) wyslij_dzwiek(true);
  if (!k->zawiodl && k->ac) wyslij(k->ac, k->as, nullptr);
  if (!k->zawiodl) wyslij(k->wc, k->ws, nullptr);
  if (!k->zawiodl) {
    int r = av_write_trailer(k->oc);
    if (r < 0) porazka("cannot write the file (" + opis(r) + ")");
  }
  k->sekundy += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void zwolnij() {
  if (!k) return;
  if (k->oc && k->oc->pb) {
    int r = avio_closep(&k->oc->pb);
    if (r < 0) porazka("cannot write the file (" + opis(r) + ")");
  }
  avcodec_free_context(&k->wc);
  avcodec_free_context(&k->ac);
  avformat_free_context(k->oc);
  k->oc = nullptr;
  sws_freeContext(k->sws);
  k->sws = nullptr;
  swr_free(&k->swr);
  if (k->fifo) av_audio_fifo_free(k->fifo);
  k->fifo = nullptr;
  av_frame_free(&k->klatka);
  av_frame_free(&k->dzwiek);
  av_packet_free(&k->pakiet);
}

AVCodecContext *koder_nazwany(const char *nazwa, AVCodecID zapasowy, std::string *blad) {
  const AVCodec *c = avcodec_find_encoder_by_name(nazwa);
  if (!c) c = avcodec_find_encoder(zapasowy);
  if (!c) {
    *blad = std::string("FFmpeg has no ") + nazwa + " encoder";
    return nullptr;
  }
  return avcodec_alloc_context3(c);
}

bool otworz(AVCodecContext *c, AVStream **s, AVDictionary **opcje, std::string *blad) {
  if (k->oc->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int r = avcodec_open2(c, c->codec, opcje);
  av_dict_free(opcje);
  if (r < 0) {
    *blad = std::string("cannot open the ") + c->codec->name + " encoder (" + opis(r) + ")";
    return false;
  }
  *s = avformat_new_stream(k->oc, nullptr);
  if (!*s || avcodec_parameters_from_context((*s)->codecpar, c) < 0) {
    *blad = "out of memory";
    return false;
  }
  (*s)->time_base = c->time_base;
  return true;
}

bool otworz_wszystko(const char *plik, std::string *blad) {
  static const char *const FORMATY[] = {"mp4", "webm", "gif"};
  int r = avformat_alloc_output_context2(&k->oc, nullptr, FORMATY[k->rodzaj], plik);
  if (r < 0 || !k->oc) {
    *blad = "FFmpeg cannot write this kind of file";
    return false;
  }
  bool gif = k->rodzaj == RODZAJ_GIF;
  k->ow = gif ? 480 : k->w;
  k->oh = gif ? (k->h * 480 / k->w) & ~1 : k->h;
  if (k->ow < 2 || k->oh < 2) {
    *blad = "the picture is too small";
    return false;
  }
  AVDictionary *opcje = nullptr;
  if (k->rodzaj == RODZAJ_MP4) {
    k->wc = koder_nazwany("libx264", AV_CODEC_ID_H264, blad);
    av_dict_set(&opcje, "preset", "veryfast", 0);
    av_dict_set(&opcje, "crf", "20", 0);
  } else if (k->rodzaj == RODZAJ_WEBM) {
    k->wc = koder_nazwany("libvpx", AV_CODEC_ID_VP8, blad);
    av_dict_set(&opcje, "deadline", "realtime", 0);
    av_dict_set(&opcje, "cpu-used", "16", 0);
    av_dict_set(&opcje, "lag-in-frames", "0", 0);
  } else {
    k->wc = koder_nazwany("gif", AV_CODEC_ID_GIF, blad);
  }
  if (!k->wc) return false;
  k->wc->width = k->ow;
  k->wc->height = k->oh;
  int fps = gif ? 60 / PRZEBIEGI_NA_KLATKE_GIF : 60;
  k->wc->time_base = AVRational{1, fps};
  k->wc->framerate = AVRational{fps, 1};
  k->wc->pix_fmt = gif ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
  k->wc->gop_size = 2 * fps;
  k->wc->thread_count = 2;
  if (k->rodzaj == RODZAJ_WEBM) {
    k->wc->bit_rate = 4000000;
    k->wc->qmin = 4;
    k->wc->qmax = 40;
  }
  if (!otworz(k->wc, &k->ws, &opcje, blad)) return false;
  k->sws = sws_getContext(k->w, k->h, AV_PIX_FMT_RGBA, k->ow, k->oh, gif ? AV_PIX_FMT_RGB24 : AV_PIX_FMT_YUV420P,
                          gif ? SWS_AREA : SWS_BICUBIC, nullptr, nullptr, nullptr);
  k->klatka = av_frame_alloc();
  k->pakiet = av_packet_alloc();
  if (!k->sws || !k->klatka || !k->pakiet) {
    *blad = "out of memory";
    return false;
  }
  k->klatka->format = k->wc->pix_fmt;
  k->klatka->width = k->ow;
  k->klatka->height = k->oh;
  if (av_frame_get_buffer(k->klatka, 0) < 0) {
    *blad = "out of memory";
    return false;
  }
  if (gif) k->rgb.assign((size_t)k->ow * k->oh * 3, 0);

  if (!gif) {
    bool mp4 = k->rodzaj == RODZAJ_MP4;
    k->ac = koder_nazwany(mp4 ? "aac" : "libopus", mp4 ? AV_CODEC_ID_AAC : AV_CODEC_ID_OPUS, blad);
    if (!k->ac) return false;
    k->ac->sample_fmt = mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
    k->ac->sample_rate = CZESTOSC_DZWIEKU;
    av_channel_layout_default(&k->ac->ch_layout, 2);
    k->ac->bit_rate = mp4 ? 160000 : 128000;
    k->ac->time_base = AVRational{1, CZESTOSC_DZWIEKU};
    if (!otworz(k->ac, &k->as, &opcje, blad)) return false;
    AVChannelLayout stereo;
    av_channel_layout_default(&stereo, 2);
    if (swr_alloc_set_opts2(&k->swr, &k->ac->ch_layout, k->ac->sample_fmt, CZESTOSC_DZWIEKU, &stereo,
                            AV_SAMPLE_FMT_S16, CZESTOSC_DZWIEKU, 0, nullptr) < 0 ||
        swr_init(k->swr) < 0) {
      *blad = "cannot convert the sound";
      return false;
    }
    k->fifo = av_audio_fifo_alloc(k->ac->sample_fmt, 2, 4096);
    k->dzwiek = av_frame_alloc();
    if (!k->fifo || !k->dzwiek) {
      *blad = "out of memory";
      return false;
    }
    k->dzwiek->format = k->ac->sample_fmt;
    k->dzwiek->sample_rate = CZESTOSC_DZWIEKU;
    av_channel_layout_copy(&k->dzwiek->ch_layout, &k->ac->ch_layout);
    k->dzwiek->nb_samples = k->ac->frame_size > 0 ? k->ac->frame_size : 1024;
    if (av_frame_get_buffer(k->dzwiek, 0) < 0) {
      *blad = "out of memory";
      return false;
    }
  }
  r = avio_open(&k->oc->pb, plik, AVIO_FLAG_WRITE);
  if (r < 0) {
    *blad = "cannot write the file (" + opis(r) + ")";
    return false;
  }
  if (k->rodzaj == RODZAJ_MP4) av_dict_set(&opcje, "movflags", "+faststart", 0);
  r = avformat_write_header(k->oc, &opcje);
  av_dict_free(&opcje);
  if (r < 0) {
    *blad = "cannot write the file (" + opis(r) + ")";
    return false;
  }
  return true;
}

// The calls of the table, named as the game names them (wideo.h).
namespace modul {

void przerwij_koder();

bool otworz_koder(const char *plik, int rodzaj, int w, int h, std::string *blad) {
  if (k) przerwij_koder();
  av_log_set_level(AV_LOG_ERROR);
  k = new Koder();
  k->rodzaj = rodzaj;
  k->w = w;
  k->h = h;
  if (!otworz_wszystko(plik, blad)) {
    zwolnij();
    delete k;
    k = nullptr;
    return false;
  }
  k->watek = std::thread(watek_kodera);
  return true;
}

void koder_klatka(std::vector<uint8_t> &&rgba) {
  if (!k) return;
  std::unique_lock<std::mutex> l(k->zamek);
  auto t0 = std::chrono::steady_clock::now();
  k->zmiana.wait(l, [] { return k->klatek_w_kolejce < NAJWIECEJ_KLATEK; });
  k->czekanie += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  Porcja p;
  p.rgba = std::move(rgba);
  k->kolejka.push_back(std::move(p));
  k->klatek_w_kolejce++;
  k->zmiana.notify_all();
}

void koder_dzwiek(const short *pcm, int ramki) {
  if (!k || k->rodzaj == RODZAJ_GIF) return;
  Porcja p;
  p.obraz = false;
  p.pcm.assign(pcm, pcm + 2 * ramki);
  std::lock_guard<std::mutex> l(k->zamek);
  k->kolejka.push_back(std::move(p));
  k->zmiana.notify_all();
}

bool zamknij_koder(std::string *blad) {
  if (!k) return false;
  {
    std::lock_guard<std::mutex> l(k->zamek);
    k->koniec = true;
  }
  k->zmiana.notify_all();
  k->watek.join();
  zwolnij();
  bool dobrze = !k->zawiodl;
  if (!dobrze) *blad = k->blad;
  return dobrze;
}

void przerwij_koder() {
  if (!k) return;
  if (k->watek.joinable()) {
    {
      std::lock_guard<std::mutex> l(k->zamek);
      k->przerwany = true;
    }
    k->zmiana.notify_all();
    k->watek.join();
  }
  zwolnij();
  delete k;
  k = nullptr;
}

bool koder_zawiodl() {
  if (!k) return false;
  std::lock_guard<std::mutex> l(k->zamek);
  return k->zawiodl;
}

double czas_kodera() { return k ? k->sekundy : 0; }
double czas_czekania() { return k ? k->czekanie : 0; }

}  // namespace modul
}  // namespace

extern "C" __attribute__((visibility("default"))) const WywolaniaKodera *brixel_koder() {
  namespace m = modul;
  static const WywolaniaKodera t = {WERSJA_KODERA,      m::otworz_koder,  m::koder_klatka,
                                    m::koder_dzwiek,    m::zamknij_koder, m::przerwij_koder,
                                    m::koder_zawiodl,   m::czas_kodera,   m::czas_czekania};
  return &t;
}
