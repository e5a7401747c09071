// One check of the readers of the table of best games and of recordings on
// arbitrary bytes, shared by the fuzzer and by the replay of its corpus: what a
// reader takes must be within its limits and read back the same once written
// again; what it refuses must say why.
#ifndef BRIXEL_SPRAWDZ_PLIKOW_GRACZA_H
#define BRIXEL_SPRAWDZ_PLIKOW_GRACZA_H

#include "player/player.h"

#include <cstdint>
#include <string>

// Empty when everything holds, otherwise what went wrong.
inline std::string sprawdz_pliki_gracza(const uint8_t *dane, size_t n) {
  const std::string tekst(reinterpret_cast<const char *>(dane), n);
  Tabela t;
  if (tabela_z_tekstu(tekst, &t)) {
    for (int tryb = 0; tryb < LICZBA_TRYBOW; tryb++) {
      const auto &lista = t.wpisy[tryb];
      if (lista.size() > (size_t)MIEJSCA_TABELI) return "a mode with more than ten entries";
      for (size_t i = 0; i < lista.size(); i++) {
        if (i > 0 && lista[i - 1].wynik < lista[i].wynik) return "entries out of order";
        if (!lista[i].nagranie.empty() && !nazwa_nagrania(lista[i].nagranie)) return "a recording outside its folder";
        if (lista[i].wynik < 0 || lista[i].poziom < 1 || lista[i].szklo < 0 || lista[i].szklo > 1)
          return "an entry out of range";
      }
    }
    std::string zapis = tekst_tabeli(t);
    Tabela znowu;
    if (!tabela_z_tekstu(zapis, &znowu) || tekst_tabeli(znowu) != zapis) return "the written table does not read back";
  }
  Nagranie r;
  std::string blad;
  if (nagranie_z_tekstu(tekst, &r, &blad)) {
    long long suma = 0;
    for (const Seria &s : r.serie) {
      if (s.ile == 0 || s.stan >= (1u << BITY_PASU)) return "a run out of range";
      suma += s.ile;
    }
    if (suma != r.przebiegi || r.przebiegi > NAJWIECEJ_PRZEBIEGOW) return "the runs do not add up to the passes";
    std::string zapis = tekst_nagrania(r);
    Nagranie znowu;
    if (!nagranie_z_tekstu(zapis, &znowu, &blad) || tekst_nagrania(znowu) != zapis)
      return "the written recording does not read back: " + blad;
  } else if (blad.empty()) {
    return "a recording refused without a reason";
  }
  return "";
}

#endif
