#!/usr/bin/env python3
"""Builds the index tables of the data directory from the sourced facts.

Reads the TSV files in data/sources/ (copied unchanged from the research
folder) and writes the .tab files of data/ in the program's own format plus
data/FONTES.md, which says where every value comes from.

    build_tables.py            rebuild data/ in place
    build_tables.py --out DIR  write the tables into DIR instead
    build_tables.py --check    rebuild into a temporary folder and compare
                               byte for byte with the committed files
    build_tables.py --verify   compare the factors the program derives from
                               the committed chain table with the official
                               factors of checkpoints.tsv

Standard library only; every computation is exact (decimal).
"""

import argparse
import calendar
import csv
import os
import re
import sys
import tempfile
from decimal import Decimal, ROUND_DOWN, ROUND_HALF_EVEN, ROUND_HALF_UP, localcontext

sys.dont_write_bytecode = True   # keep the source tree clean when run from the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fontes  # noqa: E402  (the FONTES.md writer lives beside this file)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA_DIR = os.path.join(ROOT, "data")
SOURCES_DIR = os.path.join(DATA_DIR, "sources")

CHAIN_FILE = "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab"
IGPDI_FILE = "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi.tab"
INPC2004_FILE = "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(01-2004).tab"

ONE = Decimal(1)
HUNDRED = Decimal(100)


class SourceError(Exception):
    """A source file that cannot be read as the builder expects."""


# ---------------------------------------------------------------- months

def month(text):
    """'mm/yyyy' -> month number (year * 12 + month - 1)."""
    m = re.fullmatch(r"(\d\d)/(\d{4})", text)
    if not m or not 1 <= int(m.group(1)) <= 12:
        raise ValueError("mês inválido: %r" % text)
    return int(m.group(2)) * 12 + int(m.group(1)) - 1


def month_text(m):
    return "%02d/%04d" % (m % 12 + 1, m // 12)


def date_parts(text):
    """'dd/mm/yyyy' -> (month number, day)."""
    m = re.fullmatch(r"(\d\d)/(\d\d)/(\d{4})", text)
    if not m:
        raise ValueError("data inválida: %r" % text)
    mo = month(m.group(2) + "/" + m.group(3))
    day = int(m.group(1))
    if not 1 <= day <= days_in(mo):
        raise ValueError("data inválida: %r" % text)
    return mo, day


def days_in(m):
    return calendar.monthrange(m // 12, m % 12 + 1)[1]


def spans(months):
    """Sorted month numbers -> list of (first, last) runs of consecutive months."""
    out = []
    for m in sorted(months):
        if out and out[-1][1] == m - 1:
            out[-1][1] = m
        else:
            out.append([m, m])
    return [tuple(s) for s in out]


# --------------------------------------------------------------- numbers

def dec(text):
    """A source number: decimal comma, no thousands separator."""
    if not re.fullmatch(r"-?\d+(,\d+)?", text):
        raise ValueError("número inválido: %r" % text)
    return Decimal(text.replace(",", "."))


def whole(text):
    if not re.fullmatch(r"\d+", text):
        raise ValueError("número inteiro inválido: %r" % text)
    return int(text)


def year_number(text):
    if not re.fullmatch(r"\d{4}", text):
        raise ValueError("ano inválido: %r" % text)
    return int(text)


def num(x, min_places=2, max_places=10):
    """Decimal comma, no thousands separator, no exponent; rounded (half even)
    to max_places and stripped of trailing zeros down to min_places."""
    x = x.quantize(Decimal(1).scaleb(-max_places), rounding=ROUND_HALF_EVEN)
    s = format(x, "f")
    if "." in s:
        whole, frac = s.split(".")
        frac = frac.rstrip("0")
        frac += "0" * (min_places - len(frac))
    else:
        whole, frac = s, "0" * min_places
    if whole == "-0" and not frac.strip("0"):
        whole = "0"
    return whole + ("," + frac if frac else "")


def significant(x, digits=15):
    """x written with the given number of significant digits, plain notation."""
    with localcontext() as ctx:
        ctx.prec = 60
        q = x.quantize(Decimal(1).scaleb(x.adjusted() - digits + 1), rounding=ROUND_HALF_EVEN)
    return num(q, min_places=1, max_places=max(0, -q.as_tuple().exponent))


def trunc5(x):
    """The program's factor text: five decimals, cut towards zero."""
    return x.quantize(Decimal("0.00001"), rounding=ROUND_DOWN)


# --------------------------------------------------------------- sources

class Row(dict):
    """One source line: its columns by name, plus where it came from."""

    def where(self):
        return "%s:%d" % (self.file, self.line)


def read_tsv(name, columns, sources_dir):
    path = os.path.join(sources_dir, name)
    try:
        with open(path, encoding="utf-8", newline="") as f:
            lines = list(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
    except OSError as e:
        raise SourceError("%s: não foi possível ler (%s)" % (path, e.strerror))
    except UnicodeDecodeError:
        raise SourceError("%s: não é UTF-8" % path)
    if not lines or lines[0][: len(columns)] != columns:
        raise SourceError("%s: cabeçalho inesperado (esperado %s)" % (name, ", ".join(columns)))
    head = lines[0]
    rows = []
    for n, cells in enumerate(lines[1:], start=2):
        if not any(cells):
            continue
        if len(cells) != len(head):
            raise SourceError("%s:%d: %d colunas, esperadas %d" % (name, n, len(cells), len(head)))
        r = Row(zip(head, cells))
        r.file, r.line = name, n
        rows.append(r)
    return rows


def field(row, name, parse):
    try:
        return parse(row[name])
    except ValueError as e:
        raise SourceError("%s: coluna %s: %s" % (row.where(), name, e))


COEFFICIENTS_SOURCE = "coeficientes.md"
# The proposed fill of the coefficient table in coeficientes.md: its header
# line, the program's eight columns followed by the legal basis.
COEFFICIENT_COLUMNS = ["Benefício", "Percentual", "Acréscimos", "Contribuições", "Carência H", "Carência M",
                       "Anos Ben. H", "Anos Ben. M"]
# The kinds of benefit of the simulation form, as coeficientex looks them up.
BENEFIT_KINDS = ["Auxílio Doença", "Aposentadoria por Invalidez", "Aposentadoria por Idade",
                 "Aposentadoria por Tempo de Contribuição",
                 "Aposentadoria por Tempo de Serviço de Professor (até nível médio)"]
DERIVED_MARK = " (DERIVADO)"
# The rules read in the law, with where each was read.
RULE_COLUMNS = ["benefício", "regra", "norma", "onde foi lido", "confiança"]


def read_md_table(path, columns):
    """The first Markdown table of the file whose header starts with the
    given columns: one Row per line, every cell stripped."""
    name = os.path.basename(path)
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except OSError as e:
        raise SourceError("%s: não foi possível ler (%s)" % (path, e.strerror))
    except UnicodeDecodeError:
        raise SourceError("%s: não é UTF-8" % path)

    def cells(line):
        return [c.strip() for c in line.strip().strip("|").split("|")]

    head = next((n for n, line in enumerate(lines)
                 if line.startswith("|") and cells(line)[:len(columns)] == columns), None)
    if head is None:
        raise SourceError("%s: falta a tabela com as colunas %s" % (name, ", ".join(columns)))
    names = cells(lines[head])
    rows = []
    for n in range(head + 2, len(lines)):
        if not lines[n].startswith("|"):
            break
        got = cells(lines[n])
        if len(got) != len(names):
            raise SourceError("%s:%d: %d colunas, esperadas %d" % (name, n + 1, len(got), len(names)))
        r = Row(zip(names, got))
        r.file, r.line = name, n + 1
        rows.append(r)
    return rows


def read_coefficients(path):
    """The proposal table of coeficientes.md: one Row per kind of benefit,
    each cell a number as read; `derived` names the cells marked DERIVADO."""
    rows = read_md_table(path, COEFFICIENT_COLUMNS)
    for r in rows:
        r.derived = []
        for column in COEFFICIENT_COLUMNS[1:]:
            text = r[column]
            if text.endswith(DERIVED_MARK):
                text = text[:-len(DERIVED_MARK)]
                r.derived.append(column)
            if not re.fullmatch(r"\d+(,\d+)?", text):
                raise SourceError("%s: coluna %s: número inválido: %r" % (r.where(), column, r[column]))
            r[column] = text
    kinds = [r["Benefício"] for r in rows]
    if sorted(kinds) != sorted(BENEFIT_KINDS):
        raise SourceError("%s: os benefícios da tabela (%s) não são os do programa (%s)"
                          % (os.path.basename(path), "; ".join(kinds), "; ".join(BENEFIT_KINDS)))
    return rows


class Sources:
    """Every source file the builder reads, parsed."""

    def __init__(self, sources_dir=SOURCES_DIR):
        def tsv(name, *columns):
            return read_tsv(name, list(columns), sources_dir)

        self.moeda = tsv("moeda.tsv", "data", "de", "para", "divisor", "norma", "fonte", "nota")
        self.urv = tsv("urv_diaria.tsv", "data", "valor", "moeda", "fonte", "nota")
        self.salmin = tsv("salario_minimo.tsv", "vigencia", "valor", "moeda", "norma", "fonte", "nota")
        self.teto = tsv("teto_inss.tsv", "vigencia", "maior_valor_teto", "menor_valor_teto", "teto",
                        "moeda", "norma", "fonte", "nota")
        self.reajuste = tsv("reajuste_beneficios.tsv", "competencia", "percentual", "moeda", "norma",
                            "fonte", "nota")
        self.pro_rata = tsv("reajuste_pro_rata.tsv", "ano", "mes_dib", "percentual", "fonte", "nota")
        self.ortn = tsv("ortn_otn_btn.tsv", "competencia", "indexador", "valor", "moeda", "fonte", "nota")
        self.correcao = tsv("correcao_salarios_contribuicao.tsv", "competencia", "indice", "percentual",
                            "base_legal", "fonte", "nota")
        self.inpc = tsv("inpc_mensal.tsv", "competencia", "percentual", "fonte", "nota")
        self.igpdi = tsv("igpdi_mensal.tsv", "competencia", "percentual", "fonte", "nota")
        self.checkpoints = tsv("checkpoints.tsv", "tabela", "mes_referencia", "competencia", "fator", "fonte")
        self.prazos = tsv("prazos_carencia.tsv", "ano", "meses_lei_8213_91", "meses_lei_9032_95", "norma_8213",
                          "norma_9032", "fonte_8213", "fonte_9032", "nota")
        self.fator = tsv("fator_conversao.tsv", "tempo_a_converter", "multiplicador_mulher_para_30",
                         "multiplicador_homem_para_35", "norma", "fonte", "nota")
        self.coeficientes = read_coefficients(os.path.join(sources_dir, COEFFICIENTS_SOURCE))
        self.regras = read_md_table(os.path.join(sources_dir, COEFFICIENTS_SOURCE), RULE_COLUMNS)

        self.inpc_by_month = self._monthly(self.inpc, "competencia", "percentual")
        self.igpdi_by_month = self._monthly(self.igpdi, "competencia", "percentual")

    @staticmethod
    def _monthly(rows, key, value):
        out = {}
        for r in rows:
            m = field(r, key, month)
            if m in out:
                raise SourceError("%s: mês repetido %s" % (r.where(), r[key]))
            out[m] = field(r, value, dec)
        return out


# -------------------------------------------------------------- currency

class Currency:
    """The currency of each month and the divisor of each currency cut, in
    the months the program itself uses.

    A change on a day after the first counts from the month in which the new
    currency was in force on most days: 16/01/1989 (cruzado novo) falls in
    01/1989 and 28/02/1986 (cruzado) in 03/1986, exactly the months in which
    the program divides a benefit by 1000 (divmoeda)."""

    # Months in which the program's evolution divides by a currency divisor.
    PROGRAM_CUTS = {month("03/1986"), month("01/1989"), month("08/1993"), month("03/1994")}

    def __init__(self, src):
        urv_0228 = None
        for r in src.urv:
            if r["data"] == "28/02/1994":
                urv_0228 = field(r, "valor", dec)
        if urv_0228 is None:
            raise SourceError("urv_diaria.tsv: falta a URV de 28/02/1994")
        self.urv_0228 = urv_0228
        self.changes = []   # (month, symbol, divisor or None for the URV, source row)
        for r in src.moeda:
            m, day = field(r, "data", date_parts)
            if day - 1 > days_in(m) - day + 1:
                m += 1
            symbol = symbol_of(r["para"])
            div = field(r, "divisor", dec)
            if r["de"].startswith("Rs"):
                # The sources write the old amounts in mil-réis: 1$000 = Cr$ 1,00.
                div = ONE
            if symbol == "URV":
                # Amounts in cruzeiros reais become URV at the URV of 28/02/1994
                # (Lei 8.880/94 art. 21 §1º); the day's value is not a fixed divisor.
                div = None
            if symbol == "R$":
                # Amounts were in URV since 03/1994: 1 URV = R$ 1,00.
                div = ONE
            self.changes.append((m, symbol, div, r))
        self.changes.sort(key=lambda c: c[0])
        self.first_symbol = symbol_of(self.changes[0][3]["de"])
        cuts = {m for m, s, d, r in self.changes if m >= month("01/1977") and (d is None or d != ONE)}
        if cuts != self.PROGRAM_CUTS:
            raise SourceError("moeda.tsv: as trocas de moeda caem em %s, não nos meses do programa %s"
                              % (sorted(map(month_text, cuts)), sorted(map(month_text, self.PROGRAM_CUTS))))

    def symbol(self, m):
        return self._era(m)[1]

    def _era(self, m):
        era = (None, self.first_symbol, ONE, None)
        for c in self.changes:
            if c[0] <= m:
                era = c
        return era

    def chain_divisor(self, m):
        """Divisor by which an amount of the month before is cut when it
        enters month m (None where nothing is cut)."""
        for cm, symbol, div, r in self.changes:
            if cm == m:
                if div is None:
                    return self.urv_0228
                return div if div != ONE else None
        return None

    def convert(self, value, from_symbol, m):
        """An amount written in from_symbol and in force in month m, in the
        currency of month m: divided by every cut since from_symbol was the
        month's currency."""
        eras = [(None, self.first_symbol, ONE, None)] + [c for c in self.changes if c[0] <= m]
        for i in range(len(eras) - 1, -1, -1):
            if eras[i][1] == from_symbol:
                break
        else:
            raise SourceError("moeda %r desconhecida em %s" % (from_symbol, month_text(m)))
        for cm, symbol, div, r in eras[i + 1:]:
            if div is None:
                raise SourceError("valor em %s de %s não se converte pela URV" % (from_symbol, month_text(m)))
            value = value / div
        return value


def symbol_of(text):
    """'Rs (mil-réis)' -> 'Rs'; 'NCz$' -> 'NCz$'."""
    return text.split(" ")[0]


# --------------------------------------------------------- step series

class Step:
    """A value that holds from a month until the next change. Unknown
    markers say that a change happened whose value the sources do not give:
    every month from there to the next known change is left out."""

    def __init__(self):
        self.events = {}   # month -> (value or None, source rows, note)

    def known(self, m, value, rows, note=""):
        self.events[m] = (value, rows, note)

    def unknown(self, m, note):
        if m not in self.events:
            self.events[m] = (None, [], note)

    def months(self, last):
        """month -> (value, rows, note) for every covered month up to last."""
        out = {}
        starts = sorted(self.events)
        for i, s in enumerate(starts):
            value, rows, note = self.events[s]
            end = starts[i + 1] - 1 if i + 1 < len(starts) else last
            if value is None:
                continue
            for m in range(s, min(end, last) + 1):
                out[m] = (value, rows, note)
        return out


# The last month of the minimum wages, ceilings and readjustments. The
# values read for 01/2026 hold until the next act: the minimum wage of the
# decree and the ceiling of the annual portaria, and benefits are readjusted
# once a year, on the date of the minimum wage (Lei 8.213/91 art. 41 as
# changed by Lei 10.699/2003), so 02-12/2026 have none. The builder stops
# when a source brings a change after LAST_YEAR_FROM (see last_year_acts).
LAST_MONTH = month("12/2026")
LAST_YEAR_FROM = month("01/2026")

# Minimum-wage changes whose values the sources do not give (data/sources/
# README.md, "Lacunas"): the wage in force from there up to the next known
# change is unknown.
SALMIN_UNKNOWN = {
    "05/1983": "SM de 05/1983 não encontrado",
    "11/1983": "SM de 11/1983 não encontrado",
    "05/1985": "SM de 05/1985 (Decreto 91.213) não encontrado",
    "12/1986": "SM de 12/1986 a 07/1987 (Planos Cruzado e Bresser) não encontrado",
    "11/1987": "PNS de 11/1987 não encontrado",
    "02/1988": "PNS de 02-03/1988 não encontrado",
    "05/1988": "PNS de 05-07/1988 não encontrado",
    "10/1988": "PNS de 10-12/1988 não encontrado",
    "07/1989": "SM de 07-10/1989 (decretos mensais da Lei 7.789) não encontrado",
}


def minimum_wage(src, cur):
    """Minimum wage in force in each month, in the month's currency."""
    step = Step()
    for r in src.salmin:
        m, day = field(r, "vigencia", date_parts)
        if m in step.events:
            raise SourceError("%s: duas vigências no mês %s" % (r.where(), month_text(m)))
        # A wage that takes effect on any day of a month counts for the whole
        # month, as the program does when it looks a month up (day set to 01).
        step.known(m, (field(r, "valor", dec), symbol_of(r["moeda"])), [r])
    for text, note in SALMIN_UNKNOWN.items():
        step.unknown(month(text), note)
    out = {}
    for m, ((value, symbol), rows, note) in step.months(LAST_MONTH).items():
        out[m] = (cur.convert(value, symbol, m), rows)
    return out


# The ceiling table starts with the limit of the salary of contribution of
# 01/1988. Up to 06/1989 that limit is not the benefit's larger and smaller
# ceiling (maior and menor valor-teto), which the sources do not give: column
# 1 carries the limit, which the Lei 8.213/91 calculation reads for the
# salaries of those months (art. 135) and for the benefit starting in them
# (art. 29 §2º), and column 2 stays empty, so that the Decreto 83.080/79
# calculation, which reads the smaller ceiling there, stops instead of taking
# the contribution limit for it. From 07/1989 one limit serves both
# (Decreto 97.968/89 art. 1º) and column 2 repeats column 1.
TETO_FIRST = month("01/1988")
SINGLE_LIMIT_FROM = month("07/1989")


def ceiling(src, cur, reaj):
    """Ceiling in force in each month, in the month's currency."""
    step = Step()
    rows_by_month = {}
    for r in src.teto:
        m = field(r, "vigencia", month)
        if r["maior_valor_teto"] or r["menor_valor_teto"]:
            raise SourceError("%s: maior/menor valor-teto preenchido: a regra do builder precisa ser revista"
                              % r.where())
        if m in rows_by_month:
            raise SourceError("%s: mês repetido %s" % (r.where(), r["vigencia"]))
        rows_by_month[m] = r
    for m, r in rows_by_month.items():
        if m < TETO_FIRST:
            continue    # the lone contribution limit of 1980: 1981-1987 are unknown
        step.known(m, (field(r, "teto", dec), symbol_of(r["moeda"])), [r])
    # The 2011 readjustment was changed from 6,41% to 6,47% retroactively to
    # 01/2011; the ceiling that goes with it holds from 01/2011 as well.
    jan, mar = month("01/2011"), month("03/2011")
    if jan in rows_by_month and mar in rows_by_month:
        before = step.events[month("01/2010")][0][0]
        fixed = field(rows_by_month[mar], "teto", dec)
        if (before * reaj.factor_of(jan)).quantize(Decimal("0.01")) != fixed:
            raise SourceError("teto_inss.tsv: 03/2011 não é o teto de 01/2010 reajustado pelo índice de 01/2011")
        step.known(jan, (fixed, symbol_of(rows_by_month[mar]["moeda"])), [rows_by_month[jan], rows_by_month[mar]],
                   "reajuste alterado para %s%% retroativo a 01/2011" % num((reaj.factor_of(jan) - 1) * 100))
        del step.events[mar]
    out = {}
    for m, ((value, symbol), rows, note) in step.months(LAST_MONTH).items():
        out[m] = (cur.convert(value, symbol, m), rows, note)
    confirm_ceilings(src, reaj, out)
    confirm_readjustments(src, cur, reaj, out)
    return out


def confirm_ceilings(src, reaj, teto):
    """The two ceilings read only in secondary sources, checked against
    their neighbours as the sources say: 07/1994 carried by the 42,86 %
    readjustment of 05/1995 (the minimum wage going from 70,00 to 100,00)
    gives the ceiling of 05/1995, and 06/2002 readjusted in 06/2003 gives
    the ceiling of 06/2003."""
    wage = {field(r, "vigencia", date_parts)[0]: field(r, "valor", dec) for r in src.salmin}
    checks = (("07/1994", "05/1995", wage.get(month("05/1995")), wage.get(month("09/1994"))),
              ("06/2002", "06/2003", reaj.factor_of(month("06/2003")), ONE))
    for before, after, num_, den in checks:
        a, b = teto.get(month(before)), teto.get(month(after))
        if a is None or b is None or num_ is None or den is None:
            raise SourceError("teto_inss.tsv: faltam os tetos de %s e %s para a conferência" % (before, after))
        if (a[0] * num_ / den).quantize(Decimal("0.01")) != b[0]:
            raise SourceError("teto_inss.tsv: o teto de %s (%s) não leva ao de %s (%s)"
                              % (before, num(a[0]), after, num(b[0])))


# From 04/1991 to the URV the benefits were readjusted exactly when the
# minimum wage changed: by the INPC at each change (Lei 8.213/91 art. 41 II)
# and then by the IRSM, in the quadrimestral readjustments and the monthly
# antecipações that changed the wage too (Lei 8.542/92, Lei 8.700/93). The
# ceiling followed the same indices (Lei 8.212/91 art. 28 §5º).
RULE_FROM, RULE_TO = month("04/1991"), month("02/1994")


def confirm_readjustments(src, cur, reaj, teto):
    """Each readjustment of 04/1991-02/1994, most of them DERIVADO, checked
    against the step of the ceiling of the same month; and the months with
    a readjustment must be those in which the minimum wage changed. Keeps
    the ceiling's and the wage's steps for FONTES.md."""
    wage = {}
    for r in src.salmin:
        m = field(r, "vigencia", date_parts)[0]
        wage[m] = cur.convert(field(r, "valor", dec), symbol_of(r["moeda"]), m)
    changed = {m for m in wage if RULE_FROM <= m <= RULE_TO}
    readjusted = {m for m in range(RULE_FROM, RULE_TO + 1) if reaj.factor[m][0] is not None}
    if changed != readjusted:
        raise SourceError("reajuste_beneficios.tsv: de %s a %s os reajustes (%s) não caem nos meses em que o "
                          "salário mínimo mudou (%s)" % (month_text(RULE_FROM), month_text(RULE_TO),
                                                         ", ".join(map(month_text, sorted(readjusted))),
                                                         ", ".join(map(month_text, sorted(changed)))))
    reaj.steps = {}
    with localcontext() as ctx:
        ctx.prec = 40
        for m in sorted(readjusted):
            if m - 1 not in teto or m not in teto:
                raise SourceError("teto_inss.tsv: faltam os tetos de %s e %s para conferir o reajuste"
                                  % (month_text(m - 1), month_text(m)))
            div = cur.chain_divisor(m) or ONE
            ceiling_step = teto[m][0] * div / teto[m - 1][0]
            wage_before = wage[max(k for k in wage if k < m)]
            wage_step = wage[m] * div / wage_before
            factor = reaj.factor[m][0]
            if abs(ceiling_step / factor - 1) > Decimal("0.0001"):
                raise SourceError("reajuste_beneficios.tsv: o reajuste de %s (fator %s) não é o passo do teto "
                                  "(%s)" % (month_text(m), num(factor, 1), num(ceiling_step, 1, 7)))
            reaj.steps[m] = (ceiling_step, wage_step)


def last_year_acts(src):
    """The rows of the acts the months after LAST_YEAR_FROM rest on: the
    minimum wage, the ceiling and the readjustment of LAST_YEAR_FROM, the
    latest change each source brings."""
    acts = {}
    for name, rows, key, parse in (("salmin", src.salmin, "vigencia", lambda t: date_parts(t)[0]),
                                   ("teto", src.teto, "vigencia", month),
                                   ("reajuste", src.reajuste, "competencia", month)):
        latest = max(rows, key=lambda r: field(r, key, parse))
        m = field(latest, key, parse)
        if m != LAST_YEAR_FROM:
            raise SourceError("%s: a última mudança é de %s, não de %s: reveja LAST_MONTH no builder"
                              % (latest.where(), month_text(m), month_text(LAST_YEAR_FROM)))
        acts[name] = latest
    return acts


class Readjustments:
    """Factor of the general readjustment of benefits in each month where
    the sources say whether there was one, and the last start month of the
    benefits it was given to where the acts give it only to those."""

    # Periods in which every readjustment is known, so a month without one
    # had none: from 04/1991 (the minimum wage stood still from 03 to
    # 08/1991, and up to the URV benefits were readjusted exactly when it
    # changed: RULE_FROM) to the end. Those of 1989-03/1991 are unknown.
    KNOWN = [(month("04/1991"), LAST_MONTH)]

    # How a source note says that a readjustment was given only to the
    # benefits started up to a date ("para DIB <= 31/03/2006").
    STARTED_UP_TO = re.compile(r"para DIB <= (\d\d/\d\d/\d{4})")

    def __init__(self, src, teto_rows):
        self.factor = {}     # month -> (Decimal factor or None for "1", rows, note)
        self.started_up_to = {}   # month -> last start month of the benefits it applies to
        by_month = {}
        for r in src.reajuste:
            m = field(r, "competencia", month)
            if m in by_month:
                raise SourceError("%s: mês repetido" % r.where())
            by_month[m] = r
        for lo, hi in self.KNOWN:
            for m in range(lo, hi + 1):
                r = by_month.get(m)
                if r is None:
                    self.factor[m] = (None, [], "")
                elif r["percentual"]:
                    self.factor[m] = (ONE + field(r, "percentual", dec) / HUNDRED, [r], "")
                    self._started_up_to(m, r)
                elif r["competencia"] == "03/1994":
                    # Conversion into URV, not a readjustment; the program
                    # divides the benefit by its own URV divisor that month.
                    self.factor[m] = (None, [r], "conversão em URV (divisor do programa)")
                else:
                    raise SourceError("%s: reajuste sem percentual num período dado como conhecido"
                                      % r.where())
        apr, aug = month("04/2006"), month("08/2006")
        self._check_2006(self.factor[apr][0], by_month, teto_rows)
        # The 2006 increase of 5,01% replaced the MP 291 readjustment for all
        # purposes from 08/2006: the factor of 08/2006 brings the April value
        # up to 5,01% over the value before April.
        apr_factor = self.factor[apr][0]
        aug_factor, aug_rows, _ = self.factor[aug]
        with localcontext() as ctx:
            ctx.prec = 40
            self.factor[aug] = (aug_factor / apr_factor, aug_rows,
                                "aumento de 5,01%% sobre o valor anterior a 04/2006, dividido pelos %s%% de 04/2006"
                                % num((apr_factor - 1) * 100))

    def _started_up_to(self, m, r):
        """The month of the date up to which the note says the benefits must
        have started: a whole month, since the table holds a month."""
        found = self.STARTED_UP_TO.search(r["nota"])
        if not found:
            return
        try:
            last, day = date_parts(found.group(1))
        except ValueError as e:
            raise SourceError("%s: coluna nota: %s" % (r.where(), e))
        if day != days_in(last) or last >= m:
            raise SourceError("%s: início até %s não é o fim de um mês anterior ao reajuste"
                              % (r.where(), found.group(1)))
        self.started_up_to[m] = last

    @staticmethod
    def _check_2006(apr_factor, by_month, teto_rows):
        """The MP 291 percentage read, against the ceiling, which is
        readjusted with the same index as the benefits (Lei 8.212/91 art. 20
        §1º): the ceiling of 05/2005 readjusted by it gives that of 04/2006,
        and readjusted by the 5,01% of 08/2006 that of 08/2006."""
        t = {field(x, "vigencia", month): field(x, "teto", dec) for x in teto_rows}
        before = t[month("05/2005")]
        aug_pct = field(by_month[month("08/2006")], "percentual", dec)
        for m, factor in ((month("04/2006"), apr_factor), (month("08/2006"), 1 + aug_pct / HUNDRED)):
            if (before * factor).quantize(Decimal("0.01")) != t[m]:
                raise SourceError("teto_inss.tsv: o teto de 05/2005 reajustado pelo fator %s de %s não dá o "
                                  "teto de %s" % (num(factor, 1), month_text(m), month_text(m)))

    def factor_of(self, m):
        f = self.factor[m][0]
        return ONE if f is None else f


# Rows of the proportional tables whose only reproduction disagrees with the
# rule (the sources mark them "NÃO confere"): the rule's value is shipped,
# DERIVADO. In 2013 the INPC of 07/2013 was negative (-0,13%), so a start
# in 07/2013 had one more month of it than a start in 08/2013 and must get
# the smaller percentage; the reproduction gives 07/2013 the larger one.
RULE_OVER_SOURCE = {
    "07/2013": "o INPC de 07/2013 foi negativo (−0,13%), então o início mais antigo tem o percentual menor, e "
               "a única reprodução achada do Anexo I da PI 19/2014 (fonte única) dá a ele o maior",
}
RULE_OVER_SOURCE["08/2013"] = RULE_OVER_SOURCE["07/2013"]

# How the sources say that a proportional table follows the rule, derived
# by it or read and checked against it.
RULE_MARK = "regra pro rata"


def rule_percentage(src, reaj, first, m, last):
    """The proportional percentage the rule gives a start in month m, in the
    table whose rows run from month first to month last: (1 + P) / (1 + INPC
    of the window) x INPC from m to R - 1, minus 1, floor 0, in percent and
    not rounded (R the readjustment after the table, P its percentage, the
    window from the readjustment before, which is the table's first month,
    to R - 1). The first row, "e anteriores", is P itself."""
    done = [k for k in reaj.factor if k <= first and reaj.factor[k][0] is not None]
    after = sorted(k for k in reaj.factor if k > last and reaj.factor[k][0] is not None)
    if not done or max(done) != first or not after:
        raise SourceError("reajuste_pro_rata.tsv: a tabela de %s a %s não vai de um reajuste ao mês antes do "
                          "seguinte" % (month_text(first), month_text(last)))
    readj = after[0]
    pct = (reaj.factor[readj][0] - 1) * HUNDRED
    if m == first:
        return pct
    with localcontext() as ctx:
        ctx.prec = 40
        window = since = ONE
        for k in range(first, readj):
            if k not in src.inpc_by_month:
                raise SourceError("inpc_mensal.tsv: falta %s para a regra pro rata" % month_text(k))
            window *= 1 + src.inpc_by_month[k] / HUNDRED
            if k >= m:
                since *= 1 + src.inpc_by_month[k] / HUNDRED
        return max(Decimal(0), ((1 + pct / HUNDRED) / window * since - 1) * HUNDRED)


def pro_rata(src, reaj):
    """Percentage of a benefit's first (proportional) readjustment by the
    month of its start: month -> (percentage, source rows, note)."""
    # The 2013 table of the sources is the original one at 6,15%, replaced by
    # a 6,20% one that was not read: the whole year stays out.
    superseded = {r["ano"] for r in src.pro_rata if "SUPERADA" in r["nota"]}
    tables = {}
    for r in src.pro_rata:
        if r["ano"] not in superseded:
            tables.setdefault(r["ano"], []).append(r)
    out = {}
    for year, rows in tables.items():
        months = [field(r, "mes_dib", month) for r in rows]
        ruled = any(RULE_MARK in r["fonte"] + r["nota"] for r in rows)
        for r, m in zip(rows, months):
            if m in out:
                raise SourceError("%s: mês de início repetido" % r.where())
            value, note = field(r, "percentual", dec), ""
            if ruled:
                value, note = rule_checked(src, reaj, r, months[0], m, max(months), value)
            elif month_text(m) in RULE_OVER_SOURCE:
                raise SourceError("%s: a tabela não segue a regra pro rata: reveja RULE_OVER_SOURCE" % r.where())
            out[m] = (value, [r], note)
    return out


def rule_checked(src, reaj, r, first, m, last, value):
    """A row of a table that follows the rule: a DERIVADO row must be the
    rule's value at two places, a read one within 0,01 point of it, and one
    of RULE_OVER_SOURCE, which the sources say does not agree, gets the
    rule's value."""
    rule = rule_percentage(src, reaj, first, m, last)
    rounded = rule if m == first else rule.quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    if month_text(m) in RULE_OVER_SOURCE:
        if "NÃO confere" not in r["nota"]:
            raise SourceError("%s: a fonte não diz mais que a linha não confere: reveja RULE_OVER_SOURCE"
                              % r.where())
        return rounded, "DERIVADO pela regra pro rata (%s na fonte): %s" % (r["percentual"],
                                                                            RULE_OVER_SOURCE[month_text(m)])
    if r["fonte"].startswith("DERIVADO") or "; DERIVADO" in r["fonte"]:
        if rounded != value:
            raise SourceError("%s: %s DERIVADO, mas a regra pro rata dá %s" % (r.where(), r["percentual"],
                                                                               num(rule, 2, 4)))
    elif abs(value - rule) > Decimal("0.01"):
        raise SourceError("%s: %s lido difere da regra pro rata (%s) em mais de 0,01 ponto"
                          % (r.where(), r["percentual"], num(rule, 2, 4)))
    return value, ""


# ---------------------------------------------------------- index chain

# The legal chain for the correction of contribution salaries, by the month
# whose index carries an amount to the next month.
CHAIN_START = month("01/1977")       # first ORTN value of the sources
INPC_FROM = month("02/1991")         # the BTN ended with 02/1991 (Lei 8.177/91)
URV_FROM, URV_TO = month("03/1994"), month("06/1994")
IGPDI_FROM = month("04/1996")
NEGATIVE_ZEROED_TO = month("06/1999")


class Chain:
    """Monthly percentage p[m] (carries month m to m + 1) and the divisor
    d[m] of a currency cut taking effect in month m, for one variant of the
    chain: 'inss' (IGP-DI to 01/2004, INPC from 02/2004), 'igpdi' (IGP-DI to
    the end) and 'inpc2004' (INPC from 01/2004)."""

    def __init__(self, src, cur, variant):
        self.p, self.d, self.name, self.note = {}, {}, {}, {}
        ortn = {}
        for r in src.ortn:
            ortn[field(r, "competencia", month)] = (field(r, "valor", dec), r["indexador"], symbol_of(r["moeda"]))
        correcao = {}
        for r in src.correcao:
            correcao[field(r, "competencia", month)] = (r["indice"], field(r, "percentual", dec), r)
        last_index = max(src.inpc_by_month)
        published = {"INPC": src.inpc_by_month, "IGP-DI": src.igpdi_by_month}
        if variant == "inss":
            inpc_from = month("02/2004")
        elif variant == "inpc2004":
            inpc_from = month("01/2004")
        elif variant == "igpdi":
            inpc_from = None
        else:
            raise ValueError(variant)

        with localcontext() as ctx:
            ctx.prec = 40
            for m in range(CHAIN_START, INPC_FROM):
                if m + 1 not in ortn or m not in ortn:
                    raise SourceError("ortn_otn_btn.tsv: falta %s" % month_text(m if m not in ortn else m + 1))
                (x0, ix0, c0), (x1, ix1, c1) = ortn[m], ortn[m + 1]
                # Nominal values, each in the currency of its own month; the
                # cut itself is the divisor of month m + 1.
                x0, x1 = cur.convert(x0, c0, m), cur.convert(x1, c1, m + 1)
                note = ""
                if ix0 == "OTN" and ix1 == "BTN":
                    # The OTN ended at NCz$ 6,17 and became 6,17 BTN (Lei 7.730/89).
                    x1 = x1 * Decimal("6.17")
                    note = "1 OTN = 6,17 BTN (Lei 7.730/89)"
                div = cur.chain_divisor(m + 1) or ONE
                self.p[m] = (x1 * div / x0 - 1) * HUNDRED
                self.name[m] = "%s/%s" % (ix0, ix1) if ix0 != ix1 else ix0
                self.note[m] = note
            # No BTN after 02/1991 (Lei 8.177/91): from its end salaries
            # follow the INPC (Lei 8.213/91 art. 31).
            self.p[INPC_FROM], self.name[INPC_FROM] = src.inpc_by_month[INPC_FROM], "INPC"
            self.note[INPC_FROM] = "fim do BTN: INPC de 02/1991"
            for m in range(INPC_FROM + 1, last_index + 1):
                note = ""
                if URV_FROM <= m <= URV_TO:
                    # Salaries of 03-06/1994 are in URV, worth R$ 1,00 in 07/1994.
                    self.p[m], self.name[m], self.note[m] = Decimal(0), "URV", ""
                    continue
                cr = correcao.get(m)
                if m < IGPDI_FROM:
                    if cr is None:
                        raise SourceError("correcao_salarios_contribuicao.tsv: falta %s" % month_text(m))
                    name, pct = cr[0], cr[1]
                else:
                    name = "INPC" if inpc_from is not None and m >= inpc_from else "IGP-DI"
                    pct = published[name][m]
                if name in published and published[name].get(m) != pct:
                    raise SourceError("%s: %s %s difere do índice publicado" % (cr[2].where(), name, month_text(m)))
                if cr is not None and cr[0] == name and cr[1] != pct:
                    raise SourceError("%s: %s difere de %s" % (cr[2].where(), name, month_text(m)))
                if variant == "inss" and (cr is None or cr[0] != name):
                    raise SourceError("correcao_salarios_contribuicao.tsv: índice de %s não é %s"
                                      % (month_text(m), name))
                if pct < 0 and name == "IGP-DI" and m <= NEGATIVE_ZEROED_TO:
                    pct, note = Decimal(0), "negativo (%s) contado como zero, como o INSS até 06/1999" % num(pct)
                self.p[m], self.name[m], self.note[m] = pct, name, note
            for m in range(CHAIN_START + 1, last_index + 2):
                div = cur.chain_divisor(m)
                if div is not None:
                    self.d[m] = div
        self.first, self.last_pct = CHAIN_START, last_index

    def index(self):
        """Cumulative index number by month: the ratio of two of them is the
        product of (1 + p) over the months between, divided by the currency
        divisors that took effect after the first month up to the second."""
        out = {}
        with localcontext() as ctx:
            ctx.prec = 60
            x = ONE
            out[self.first] = x
            for m in range(self.first, self.last_pct + 1):
                x = x * (1 + self.p[m] / HUNDRED) / self.d.get(m + 1, ONE)
                out[m + 1] = x
        return out


# ---------------------------------------------------------------- tables

def tab_bytes(rows):
    """The program's table file: Windows-1252, a TAB after every field, CR LF
    after every line."""
    text = "".join("".join(c + "\t" for c in row) + "\r\n" for row in rows)
    for row in rows:
        for c in row:
            if any(ch in c for ch in "\t\r\n"):
                raise ValueError("célula com TAB ou quebra de linha: %r" % c)
    return text.encode("cp1252")


class Build:
    """Every table, built from the sources."""

    def __init__(self, src):
        self.src = src
        self.cur = Currency(src)
        self.salmin = minimum_wage(src, self.cur)
        self.reaj = Readjustments(src, src.teto)
        self.teto = ceiling(src, self.cur, self.reaj)
        self.acts = last_year_acts(src)
        self.pro_rata = pro_rata(src, self.reaj)
        self.chains = {v: Chain(src, self.cur, v) for v in ("inss", "igpdi", "inpc2004")}
        self.index = self.chains["inss"].index()
        self.tables = {}
        self.tables["salmin.tab"] = self._salmin()
        self.tables["inss.tab"] = self._inss()
        self.tables["crmensalrev3.tab"] = self._correction()
        self.tables["crmensalrevinss.tab"] = self._correction()
        self.tables["atuaprev.tab"] = self._atuaprev()
        self.tables[CHAIN_FILE] = self._chain_index()
        self.tables[IGPDI_FILE] = self._chain_pct(self.chains["igpdi"])
        self.tables[INPC2004_FILE] = self._chain_pct(self.chains["inpc2004"])
        self.tables["inpc98.tab"] = self._inpc98()
        # Tables of the simulation forms, keyed by a year or a text, not a month.
        self.other_tables = {
            "prazosAI.tab": self._prazos(),
            "fator.tab": self._fator(),
            "coeficientes.tab": self._coeficientes(),
        }

    def _salmin(self):
        rows = [["Data", "Salário Mínimo"]]
        for m in sorted(self.salmin):
            rows.append(["01/" + month_text(m), num(self.salmin[m][0], 2)])
        return rows

    def _inss(self):
        rows = [["Data", "Maior valor-teto", "Menor valor-teto"]]
        for m in sorted(self.teto):
            v = num(self.teto[m][0], 2)
            rows.append([month_text(m), v, v if m >= SINGLE_LIMIT_FROM else ""])
        return rows

    def correction_months(self):
        return sorted(m for m in self.reaj.factor if m in self.salmin)

    def _correction(self):
        # "Início até": the last start month of the benefits a readjustment
        # was given to, where the acts give it only to those; empty where it
        # applies to every benefit.
        rows = [["Data", "Índice", "Salário Mínimo", "Moeda", "Início até"]]
        for m in self.correction_months():
            f = self.reaj.factor[m][0]
            if f is None:
                text = "1"
            else:
                text = num(f, 1)
                if text == "1,0":
                    raise SourceError("%s: reajuste de 0%% em %s seria lido como mês sem reajuste"
                                      % (self.reaj.factor[m][1][0].where(), month_text(m)))
            up_to = self.reaj.started_up_to.get(m)
            rows.append([month_text(m), text, num(self.salmin[m][0], 2), self.cur.symbol(m),
                         month_text(up_to) if up_to is not None else ""])
        return rows

    def _atuaprev(self):
        rows = [["Data", "Percentual"]]
        for m in sorted(self.pro_rata):
            rows.append([month_text(m), num(self.pro_rata[m][0], 2)])
        return rows

    def _chain_index(self):
        rows = [["Data", "Índice", "", ""]]
        for m in sorted(self.index):
            rows.append([month_text(m), significant(self.index[m]), "", ""])
        return rows

    def _chain_pct(self, chain):
        rows = [["Data", "Percentual", "", "Divisor"]]
        for m in range(chain.first, chain.last_pct + 1):
            d = chain.d.get(m)
            rows.append([month_text(m), num(chain.p[m], 2), "", num(d, 0) if d is not None else ""])
        return rows

    def inpc98_months(self):
        # Only the Real: the cumulative generator of this table divides by no
        # currency cut, and the simulation reads the 48 months before 12/1998.
        return range(month("07/1994"), month("11/1998") + 1)

    def _inpc98(self):
        rows = [["Data", "INPC", "", ""]]
        for m in self.inpc98_months():
            p = self.src.inpc_by_month[m]
            if p < 0:
                p = Decimal(0)    # negatives counted as zero, as the INSS did up to 06/1999
            rows.append([month_text(m), num(p, 2), "", ""])
        return rows

    def _prazos(self):
        """Grace periods of art. 142 by year, as the grace-period window looks
        a year up: column 0 the year as text, from 1991."""
        rows = [["Ano", "Lei 8.213/91", "Lei 9.032/95"]]
        years = []
        for r in self.src.prazos:
            year = field(r, "ano", year_number)
            terms = []
            for column in ("meses_lei_8213_91", "meses_lei_9032_95"):
                # An empty cell is a year that wording does not list.
                terms.append("%d meses" % field(r, column, whole) if r[column] else "")
            rows.append([str(year)] + terms)
            years.append(year)
        if not years or years[0] != 1991 or years != list(range(1991, 1991 + len(years))):
            raise SourceError("prazos_carencia.tsv: os anos devem ir de 1991 em diante, um por linha")
        return rows

    def _fator(self):
        rows = [["Tempo a converter", "Mulher (para 30)", "Homem (para 35)"]]
        for r in self.src.fator:
            rows.append([r["tempo_a_converter"],
                         num(field(r, "multiplicador_mulher_para_30", dec), 2),
                         num(field(r, "multiplicador_homem_para_35", dec), 2)])
        return rows

    def _coeficientes(self):
        rows = [list(COEFFICIENT_COLUMNS)]
        for r in self.src.coeficientes:
            rows.append([r[c] for c in COEFFICIENT_COLUMNS])
        return rows

    def files(self):
        out = {name: tab_bytes(rows) for name, rows in self.tables.items()}
        out.update({name: tab_bytes(rows) for name, rows in self.other_tables.items()})
        out["FONTES.md"] = fontes.render(self).encode("utf-8")
        return out


# ---------------------------------------------------------- check/verify

def write(files, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, data in files.items():
        path = os.path.join(out_dir, name)
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)


def check(sources_dir, data_dir):
    """Rebuild into a temporary folder and compare with the committed files.
    Returns the list of differences (empty when they are equal)."""
    with tempfile.TemporaryDirectory() as tmp:
        write(Build(Sources(sources_dir)).files(), tmp)
        problems = []
        for name in sorted(os.listdir(tmp)):
            committed = os.path.join(data_dir, name)
            with open(os.path.join(tmp, name), "rb") as f:
                fresh = f.read()
            if not os.path.exists(committed):
                problems.append("%s: falta em %s" % (name, data_dir))
                continue
            with open(committed, "rb") as f:
                old = f.read()
            if old != fresh:
                problems.append("%s: difere da saída do builder (%s)" % (name, first_difference(old, fresh)))
        return problems


def first_difference(old, new):
    a, b = old.split(b"\r\n"), new.split(b"\r\n")
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return "linha %d: gravado %r, gerado %r" % (i + 1, x.decode("cp1252", "replace")[:80],
                                                         y.decode("cp1252", "replace")[:80])
    return "gravado com %d linhas, gerado com %d" % (len(a), len(b))


def read_tab(path):
    with open(path, "rb") as f:
        data = f.read()
    rows = []
    for line in data.decode("cp1252").split("\r\n"):
        if line:
            rows.append(line.split("\t")[:-1])
    return rows


def compare_checkpoints(index, checkpoints):
    """Factor the ratio generator derives from an index table (index[P] /
    index[m], cut to five decimals) against every official factor. Returns
    (results, skipped): (row, factor, relative difference, within 0.01 %)
    and (row, reason)."""
    results, skipped = [], []
    for c in checkpoints:
        p, m = field(c, "mes_referencia", month), field(c, "competencia", month)
        official = field(c, "fator", dec)
        missing = [month_text(x) for x in (m, p) if x not in index]
        if missing:
            skipped.append((c, "fora da cobertura: " + ", ".join(missing)))
            continue
        with localcontext() as ctx:
            ctx.prec = 40
            ours = trunc5(index[p] / index[m])
            rel = ours / official - 1
        results.append((c, ours, rel, abs(rel) <= Decimal("0.0001")))
    return results, skipped


def verify(sources_dir, data_dir):
    """compare_checkpoints on the committed chain table."""
    src = Sources(sources_dir)
    path = os.path.join(data_dir, CHAIN_FILE)
    if not os.path.exists(path):
        raise SourceError("%s não existe" % path)
    index = {}
    for r in read_tab(path)[1:]:
        try:
            index[month(r[0])] = Decimal(r[1].replace(",", "."))
        except (ValueError, IndexError, ArithmeticError):
            raise SourceError("%s: linha inválida %r" % (CHAIN_FILE, "\t".join(r)))
    return compare_checkpoints(index, src.checkpoints)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--out", help="pasta de saída (padrão: data/)")
    ap.add_argument("--sources", default=SOURCES_DIR, help=argparse.SUPPRESS)
    ap.add_argument("--data", default=DATA_DIR, help=argparse.SUPPRESS)
    ap.add_argument("--check", action="store_true", help="compara a saída com os arquivos gravados")
    ap.add_argument("--verify", action="store_true", help="confere os fatores com checkpoints.tsv")
    args = ap.parse_args(argv)
    try:
        status = 0
        if args.check:
            problems = check(args.sources, args.data)
            for p in problems:
                print("check: " + p, file=sys.stderr)
            if problems:
                print("check: os arquivos de %s não são a saída do builder; rode tools/databuild/build_tables.py"
                      % args.data, file=sys.stderr)
                status = 1
            else:
                print("check: tabelas iguais à saída do builder")
        if args.verify:
            results, skipped = verify(args.sources, args.data)
            for c, ours, rel, ok in results:
                print("%s fator de %s em %s: oficial %s, derivado %s, diferença %s%%"
                      % ("ok  " if ok else "FALHA", c["competencia"], c["mes_referencia"], c["fator"],
                         num(ours, 5), num(rel * 100, 4, 4)))
            for c, why in skipped:
                print("pulado fator de %s em %s (%s)" % (c["competencia"], c["mes_referencia"], why))
            failed = sum(1 for r in results if not r[3])
            print("checkpoints: %d passed, %d failed, %d skipped"
                  % (len(results) - failed, failed, len(skipped)))
            if failed:
                status = 1
        if not args.check and not args.verify:
            write(Build(Sources(args.sources)).files(), args.out or args.data)
        return status
    except SourceError as e:
        print("erro nas fontes: %s" % e, file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main())
