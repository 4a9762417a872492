"""Tests of the data-table builder: the file format the program reads, the
month and currency rules, and the tables read the way the program reads
them (exact month, first row at or after a month, the two generators)."""

import io
import os
import shutil
import sys
import tempfile
import unittest
from contextlib import redirect_stderr, redirect_stdout
from decimal import Decimal

sys.dont_write_bytecode = True
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools", "databuild"))
import build_tables as bt  # noqa: E402

BUILD = None


def setUpModule():
    global BUILD
    BUILD = bt.Build(bt.Sources())


def build_refusal(src):
    """The message with which the builder refuses these sources ("" when it builds)."""
    try:
        bt.Build(src)
    except bt.SourceError as e:
        return str(e)
    return ""


def table(name):
    """The rows of a built table as the grid loader would see them."""
    data = bt.tab_bytes(BUILD.tables[name])
    return [line.split("\t")[:-1] for line in data.decode("cp1252").split("\r\n")[:-1]]


def value(text):
    return Decimal(text.replace(",", "."))


def first_at_or_after(rows, key_month, key=lambda r: r[0][-7:]):
    """The search of devolvevalor: first row whose month is on or after the month."""
    for r in rows[1:]:
        if bt.month(key(r)) >= key_month:
            return r
    return None


def ratio_factor(rows, m, p):
    """What the ratio generator writes for month m when the table ends at p."""
    idx = {bt.month(r[0]): value(r[1]) for r in rows[1:]}
    return bt.trunc5(idx[p] / idx[m])


def divisor_factor(rows, m, p):
    """What the cumulative generator with currency divisor writes for month m
    when started at p: product of (1 + pct) over m .. p-1, divided by the
    divisors of m+1 .. p."""
    by = {bt.month(r[0]): r for r in rows[1:]}
    f = Decimal(1)
    for k in range(p, m, -1):
        d = by[k][3]
        f = (f + f * value(by[k - 1][1]) / 100) / (value(d) if any(c.isdigit() for c in d) else 1)
    return f


class FileFormat(unittest.TestCase):
    def test_fields_lines_and_code_page(self):
        data = bt.tab_bytes([["Data", "Índice"], ["01/2000", ""]])
        self.assertEqual(data, b"Data\t\xcdndice\t\r\n01/2000\t\t\r\n")

    def test_cell_that_would_break_the_layout_is_refused(self):
        for bad in ("a\tb", "a\r\nb", "a\nb"):
            with self.assertRaises(ValueError):
                bt.tab_bytes([[bad]])

    def test_numbers_have_decimal_comma_and_no_exponent(self):
        self.assertEqual(bt.num(Decimal("1412")), "1412,00")
        self.assertEqual(bt.num(Decimal("54.374")), "54,374")
        self.assertEqual(bt.num(Decimal("-0.00000000001")), "0,00")
        self.assertEqual(bt.num(Decimal("1.0000952380952"), 1), "1,0000952381")
        self.assertEqual(bt.significant(Decimal("0.0000123456789012345678")), "0,0000123456789012346")
        self.assertEqual(bt.significant(Decimal("123456789012345678")), "123456789012346000,0")

    def test_every_table_has_a_header_and_one_row_per_month_in_order(self):
        for name, rows in BUILD.tables.items():
            width = len(rows[0])
            months = [bt.month(r[0][-7:]) for r in rows[1:]]
            self.assertEqual(months, sorted(set(months)), name)
            self.assertTrue(all(len(r) == width for r in rows), name)
            self.assertFalse(any(c[:1].isdigit() for c in rows[0]), name)


class MonthsAndCurrencies(unittest.TestCase):
    def test_currency_months_are_those_the_program_divides_in(self):
        cur = BUILD.cur
        self.assertEqual(cur.symbol(bt.month("02/1986")), "Cr$")
        self.assertEqual(cur.symbol(bt.month("03/1986")), "Cz$")
        self.assertEqual(cur.symbol(bt.month("12/1988")), "Cz$")
        self.assertEqual(cur.symbol(bt.month("01/1989")), "NCz$")
        self.assertEqual(cur.symbol(bt.month("02/1967")), "NCr$")
        self.assertEqual(cur.symbol(bt.month("06/1994")), "URV")
        self.assertEqual(cur.symbol(bt.month("07/1994")), "R$")

    def test_amounts_convert_into_the_months_currency(self):
        cur = BUILD.cur
        self.assertEqual(cur.convert(Decimal("54374"), "Cz$", bt.month("01/1989")), Decimal("54.374"))
        self.assertEqual(cur.convert(Decimal("3674.06"), "NCz$", bt.month("03/1990")), Decimal("3674.06"))
        self.assertEqual(cur.convert(Decimal("240"), "Rs", bt.month("06/1943")), Decimal("240"))
        with self.assertRaises(bt.SourceError):
            cur.convert(Decimal("100"), "CR$", bt.month("07/1994"))

    def test_unknown_change_leaves_out_every_month_up_to_the_next_known(self):
        s = bt.Step()
        s.known(bt.month("01/2000"), 1, [])
        s.unknown(bt.month("04/2000"), "x")
        s.known(bt.month("07/2000"), 2, [])
        got = s.months(bt.month("08/2000"))
        self.assertEqual(sorted(map(bt.month_text, got)),
                         ["01/2000", "02/2000", "03/2000", "07/2000", "08/2000"])


class MinimumWageAndCeiling(unittest.TestCase):
    """Looked up the way devolvevalor looks them up."""

    def lookup(self, name, text):
        return first_at_or_after(table(name), bt.month(text))[1]

    def test_values_in_force(self):
        self.assertEqual(self.lookup("salmin.tab", "01/2024"), "1412,00")
        self.assertEqual(self.lookup("inss.tab", "01/2024"), "7786,02")
        self.assertEqual(self.lookup("salmin.tab", "03/2000"), "136,00")
        self.assertEqual(self.lookup("salmin.tab", "04/2000"), "151,00")   # in force from 03/04/2000
        self.assertEqual(self.lookup("salmin.tab", "08/1993"), "5534,00")
        self.assertEqual(self.lookup("salmin.tab", "07/1994"), "64,79")
        self.assertEqual(self.lookup("salmin.tab", "01/1989"), "54,374")   # PNS of Cz$ 54.374,00 in NCz$
        self.assertEqual(self.lookup("salmin.tab", "09/1988"), "18960,00")  # PNS, not SMR
        # The first national wage (Decreto 89.589/84), in force until 10/1984.
        self.assertEqual(self.lookup("salmin.tab", "05/1984"), "97176,00")
        self.assertEqual(self.lookup("salmin.tab", "10/1984"), "97176,00")
        self.assertEqual(self.lookup("inss.tab", "11/1998"), "1081,50")
        self.assertEqual(self.lookup("inss.tab", "12/1998"), "1200,00")
        self.assertEqual(self.lookup("inss.tab", "02/2011"), "3691,74")    # 6,47% retroactive to 01/2011
        self.assertEqual(self.lookup("inss.tab", "02/1993"), "11532054,23")
        self.assertEqual(self.lookup("inss.tab", "07/1994"), "582,86")
        self.assertEqual(self.lookup("inss.tab", "04/1995"), "582,86")
        self.assertEqual(self.lookup("inss.tab", "05/2003"), "1561,56")
        self.assertEqual(self.lookup("inss.tab", "06/2003"), "1869,34")
        self.assertEqual(self.lookup("inss.tab", "12/2003"), "1869,34")
        self.assertEqual(self.lookup("inss.tab", "01/2004"), "2400,00")
        # The monthly contribution limit of 1988-1994, in the month's currency.
        self.assertEqual(self.lookup("inss.tab", "03/1992"), "923262,76")
        self.assertEqual(self.lookup("inss.tab", "08/1993"), "50613,12")
        self.assertEqual(self.lookup("inss.tab", "04/1994"), "582,86")
        # The 2026 values hold to the end of the year.
        self.assertEqual(self.lookup("salmin.tab", "12/2026"), "1621,00")
        self.assertEqual(self.lookup("inss.tab", "12/2026"), "8475,55")

    def test_every_year_covered_has_every_month_and_the_latest_value_read(self):
        # Independent of the builder: the latest source change on or before
        # the month, for every covered month since the Real.
        changes = sorted((bt.date_parts(r["vigencia"])[0], r["valor"]) for r in BUILD.src.salmin)
        rows = table("salmin.tab")
        for m in range(bt.month("07/1994"), bt.LAST_MONTH + 1):
            expected = [v for c, v in changes if c <= m][-1]
            row = first_at_or_after(rows, m)
            self.assertEqual(row[0], "01/" + bt.month_text(m))
            self.assertEqual(value(row[1]), value(expected), bt.month_text(m))

    def test_ceiling_columns_and_the_contribution_limit_before_07_1989(self):
        # Before 07/1989 only the contribution limit is known: column 2, the
        # smaller ceiling the Decreto 83.080/79 calculation reads, stays empty.
        rows = table("inss.tab")
        self.assertEqual(rows[1], ["01/1988", "61200,00", ""])
        self.assertEqual([bt.month(r[0]) for r in rows[1:]], list(range(bt.month("01/1988"), bt.LAST_MONTH + 1)))
        for r in rows[1:]:
            self.assertEqual(r[2], r[1] if bt.month(r[0]) >= bt.month("07/1989") else "", r)

    def test_months_the_sources_leave_unknown_are_absent(self):
        salmin = {r[0] for r in table("salmin.tab")}
        for gap in ("01/06/1983", "01/01/1987", "01/11/1987", "01/08/1989"):
            self.assertNotIn(gap, salmin)
        self.assertNotIn("01/1980", {r[0] for r in table("inss.tab")})

    def test_a_ceiling_that_does_not_lead_to_the_next_is_refused(self):
        # The misprint 582,66 does not give the 832,66 of 05/1995.
        src = bt.Sources()
        row = next(r for r in src.teto if r["vigencia"] == "07/1994")
        row["teto"] = "582,66"
        self.assertIn("07/1994", build_refusal(src))


class Readjustments(unittest.TestCase):
    def test_text_one_exactly_where_there_is_no_readjustment(self):
        rows = table("crmensalrev3.tab")
        by = {r[0]: r for r in rows[1:]}
        self.assertEqual(by["01/2024"][1:], ["1,0371", "1412,00", "R$", ""])
        self.assertEqual(by["02/2024"][1], "1")
        self.assertEqual(by["01/2011"][1], "1,0647")
        self.assertEqual(by["03/1994"][1:], ["1", "64,79", "URV", ""])
        for r in rows[1:]:
            self.assertTrue(r[1] == "1" or value(r[1]) != 1, r)
        src = bt.Sources()
        next(r for r in src.reajuste if r["competencia"] == "01/2024")["percentual"] = "0,00"
        self.assertIn("0% em 01/2024", build_refusal(src))

    def test_no_month_missing_from_04_1991_on(self):
        months = [bt.month(r[0]) for r in table("crmensalrev3.tab")[1:]]
        self.assertEqual(months, list(range(bt.month("04/1991"), bt.LAST_MONTH + 1)))
        self.assertEqual(table("crmensalrev3.tab"), table("crmensalrevinss.tab"))

    def test_readjustments_of_1991_to_1994_where_the_minimum_wage_changed(self):
        by = {r[0]: r[1:] for r in table("crmensalrev3.tab")[1:]}
        self.assertEqual(by["04/1991"], ["1", "17000,00", "Cr$", ""])
        self.assertEqual(by["09/1991"][0], "2,4706")
        self.assertEqual(by["01/1992"][0], "2,1982342")
        self.assertEqual(by["05/1993"][0], "1,917074")
        self.assertEqual(by["08/1993"], ["1,1926", "5534,00", "CR$", ""])
        self.assertEqual(by["06/1993"][0], "1")
        self.assertEqual((by["01/2026"][0], by["02/2026"][0], by["12/2026"]),
                         ("1,039", "1", ["1", "1621,00", "R$", ""]))

    def test_a_readjustment_off_the_ceilings_step_is_refused(self):
        src = bt.Sources()
        row = next(r for r in src.reajuste if r["competencia"] == "09/1993")
        row["percentual"] = "73,5815"    # the minimum wage's step, not the ceiling's
        self.assertIn("09/1993", build_refusal(src))
        src = bt.Sources()
        row = next(r for r in src.reajuste if r["competencia"] == "07/1993")
        row["competencia"] = "06/1993"   # a month in which the wage stood still
        self.assertIn("salário mínimo mudou", build_refusal(src))

    def test_a_change_after_the_last_year_read_stops_the_builder(self):
        src = bt.Sources()
        row = next(r for r in src.teto if r["vigencia"] == "01/2026")
        src.teto.append(bt.Row(row, vigencia="01/2027"))
        src.teto[-1].file, src.teto[-1].line = row.file, row.line
        self.assertIn("LAST_MONTH", build_refusal(src))

    def test_2006_increase_of_501_over_the_value_before_april(self):
        by = {r[0]: r for r in table("crmensalrev3.tab")[1:]}
        total = value(by["04/2006"][1]) * value(by["08/2006"][1])
        self.assertEqual((Decimal("1000.00") * total).quantize(Decimal("0.01")), Decimal("1050.10"))
        self.assertEqual(by["05/2006"][1], "1")
        self.assertEqual(by["05/2005"][1], "1,06355")
        # The 5,00% read for 04/2006 is checked against the ceiling's step.
        src = bt.Sources()
        next(r for r in src.reajuste if r["competencia"] == "04/2006")["percentual"] = "5,01"
        self.assertIn("04/2006", build_refusal(src))

    def test_start_limit_only_where_the_acts_give_a_readjustment_to_earlier_starts(self):
        rows = table("crmensalrev3.tab")
        self.assertEqual(rows[0][4], "Início até")
        self.assertEqual({r[0]: r[4] for r in rows[1:] if r[4]}, {"08/2006": "03/2006"})
        self.assertIn(b"\tR$\t03/2006\t\r\n", bt.tab_bytes(BUILD.tables["crmensalrev3.tab"]))
        # A date inside a month names no month to stop at.
        src = bt.Sources()
        row = next(r for r in src.reajuste if r["competencia"] == "08/2006")
        row["nota"] = row["nota"].replace("DIB <= 31/03/2006", "DIB <= 15/03/2006")
        self.assertIn("15/03/2006", build_refusal(src))

    def test_proportional_table_keys_are_benefit_start_months(self):
        by = {r[0]: r[1] for r in table("atuaprev.tab")[1:]}
        self.assertEqual(by["06/2000"], "7,66")
        self.assertEqual(by["12/2023"], "0,55")
        self.assertNotIn("06/2012", by)   # the superseded 2013 table stays out
        self.assertEqual((by["06/1992"], by["09/1991"]), ("80,5517", "119,82342"))   # derived, 1992
        self.assertEqual((by["05/1996"], by["06/1996"], by["05/1997"]), ("7,76", "7,14", "0,58"))
        self.assertNotIn("07/1996", by)   # the 1997 table is partial
        self.assertEqual((by["12/2015"], by["05/2004"], by["11/2018"]), ("0,90", "6,355", "0,00"))
        # The only reproduction of 2014 swaps these two; the rule's values ship.
        self.assertEqual((by["07/2013"], by["08/2013"]), ("2,18", "2,32"))

    def test_proportional_rows_off_the_rule_are_refused(self):
        def refused(start, **change):
            src = bt.Sources()
            row = next(r for r in src.pro_rata if r["mes_dib"] == start)
            row.update(change)
            return build_refusal(src)
        self.assertIn("DERIVADO", refused("02/2010", percentual="5,55"))         # derived, 5,5412
        self.assertIn("0,01", refused("02/2015", percentual="9,67"))             # read, 9,6571
        row = next(r for r in bt.Sources().pro_rata if r["mes_dib"] == "07/2013")
        self.assertIn("RULE_OVER_SOURCE", refused("07/2013", nota=row["nota"].replace("NÃO confere", "confere")))


class CorrectionChain(unittest.TestCase):
    def test_official_factors_derived_as_the_program_derives_them(self):
        rows = table(bt.CHAIN_FILE)
        # Portaria MPAS 4.956/1999 and MPS 149/2004; monthly factor of 10/2022.
        for m, p, official in (("01/1995", "01/1999", "1.460857"), ("07/1994", "02/2004", "3.570588"),
                               ("09/2022", "10/2022", "0.996800")):
            f = ratio_factor(rows, bt.month(m), bt.month(p))
            self.assertLess(abs(f / Decimal(official) - 1), Decimal("0.0001"), (m, p, f))

    def test_percentage_tables_give_the_same_factors_across_currency_cuts(self):
        index = table(bt.CHAIN_FILE)
        pct = table(bt.IGPDI_FILE)
        for m, p in (("01/1980", "01/2004"), ("02/1986", "03/1986"), ("12/1988", "02/1989"),
                     ("07/1993", "08/1993"), ("02/1994", "07/1994"), ("06/1985", "12/1995")):
            a = ratio_factor(index, bt.month(m), bt.month(p))
            b = divisor_factor(pct, bt.month(m), bt.month(p))
            self.assertLess(abs(b - a), Decimal("0.00001") * max(a, Decimal(1)), (m, p, a, b))

    def test_divisors_fall_where_the_program_cuts_currency(self):
        for name in (bt.IGPDI_FILE, bt.INPC2004_FILE):
            cuts = {r[0]: r[3] for r in table(name)[1:] if r[3]}
            self.assertEqual(cuts, {"03/1986": "1000", "01/1989": "1000", "08/1993": "1000",
                                    "03/1994": "637,64"})

    def test_2004_switch_to_the_inpc_differs_by_variant(self):
        igp = {r[0]: r[1] for r in table(bt.IGPDI_FILE)[1:]}
        inpc = {r[0]: r[1] for r in table(bt.INPC2004_FILE)[1:]}
        chain = BUILD.chains["inss"]
        self.assertEqual((igp["12/2003"], inpc["12/2003"]), ("0,60", "0,60"))
        self.assertEqual((igp["01/2004"], inpc["01/2004"]), ("0,80", "0,83"))
        self.assertEqual(chain.p[bt.month("01/2004")], Decimal("0.80"))
        self.assertEqual(chain.p[bt.month("02/2004")], Decimal("0.39"))

    def test_negative_indices(self):
        chain = BUILD.chains["inss"]
        self.assertEqual(chain.p[bt.month("08/1997")], 0)                    # IGP-DI zeroed
        self.assertEqual(chain.p[bt.month("06/2003")], Decimal("-0.70"))     # applied after 06/1999
        self.assertEqual(chain.p[bt.month("09/2022")], Decimal("-0.32"))     # INPC applied
        self.assertEqual(BUILD.chains["igpdi"].p[bt.month("05/2023")], Decimal("-2.33"))
        self.assertTrue(all(value(r[1]) >= 0 for r in table("inpc98.tab")[1:]))


class SimulationTables(unittest.TestCase):
    """The tables of the grace-period, conversion and simulation windows."""

    def rows(self, name):
        data = bt.tab_bytes(BUILD.other_tables[name])
        return [line.split("\t")[:-1] for line in data.decode("cp1252").split("\r\n")[:-1]]

    def test_grace_periods_looked_up_by_year_text(self):
        rows = self.rows("prazosAI.tab")
        self.assertEqual(rows[0], ["Ano", "Lei 8.213/91", "Lei 9.032/95"])
        by = {r[0]: r[1:] for r in rows[1:]}
        self.assertEqual(by["1991"], ["60 meses", "60 meses"])
        self.assertEqual(by["1996"], ["84 meses", "90 meses"])     # the two wordings part here
        self.assertEqual(by["2011"], ["174 meses", "180 meses"])
        self.assertEqual(by["2012"], ["180 meses", ""])            # the 9.032 wording ends in 2011
        self.assertEqual([int(r[0]) for r in rows[1:]], list(range(1991, 2013)))

    def test_conversion_factors(self):
        self.assertEqual(self.rows("fator.tab"),
                         [["Tempo a converter", "Mulher (para 30)", "Homem (para 35)"],
                          ["DE 15 ANOS", "2,00", "2,33"], ["DE 20 ANOS", "1,50", "1,75"],
                          ["DE 25 ANOS", "1,20", "1,40"]])

    def test_coefficients_have_the_grids_columns_and_the_forms_kinds(self):
        rows = self.rows("coeficientes.tab")
        self.assertEqual(rows[0], bt.COEFFICIENT_COLUMNS)
        self.assertEqual(sorted(r[0] for r in rows[1:]), sorted(bt.BENEFIT_KINDS))
        by = {r[0]: r[1:] for r in rows[1:]}
        self.assertEqual(by["Aposentadoria por Idade"], ["0,70", "1", "30", "180", "180", "30", "30"])
        self.assertEqual(by["Auxílio Doença"][0], "0,91")
        self.assertIn(b"Aux\xedlio Doen\xe7a\t", bt.tab_bytes(BUILD.other_tables["coeficientes.tab"]))

    def refusal(self, name, old, new):
        """The builder's error for a copy of the sources with one text changed."""
        with tempfile.TemporaryDirectory() as tmp:
            sources = os.path.join(tmp, "sources")
            shutil.copytree(bt.SOURCES_DIR, sources)
            path = os.path.join(sources, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            self.assertIn(old, text)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new))
            with self.assertRaises(bt.SourceError) as e:
                bt.Build(bt.Sources(sources))
            return str(e.exception)

    def test_a_coefficient_source_that_is_no_number_or_lacks_a_kind_is_refused(self):
        err = self.refusal("coeficientes.md", "| Auxílio Doença | 0,91 |", "| Auxílio Doença | 91% |")
        self.assertIn("coeficientes.md:", err)
        self.assertIn("Percentual", err)
        err = self.refusal("coeficientes.md", "| Auxílio Doença |", "| Auxílio-Doença |")
        self.assertIn("não são os do programa", err)

    def test_grace_years_must_run_from_1991_without_a_hole(self):
        self.assertIn("1991", self.refusal("prazos_carencia.tsv", "\n1993\t", "\n1983\t"))


class CommandLine(unittest.TestCase):
    def run_main(self, *args):
        out, err = io.StringIO(), io.StringIO()
        with redirect_stdout(out), redirect_stderr(err):
            status = bt.main(list(args))
        return status, out.getvalue(), err.getvalue()

    def test_check_reports_a_changed_table_and_fails(self):
        with tempfile.TemporaryDirectory() as tmp:
            status, _, _ = self.run_main("--out", tmp)
            self.assertEqual(status, 0)
            self.assertEqual(self.run_main("--check", "--data", tmp)[0], 0)
            path = os.path.join(tmp, "inss.tab")
            with open(path, "rb") as f:
                data = f.read()
            with open(path, "wb") as f:
                f.write(data.replace(b"7786,02", b"7786,03"))
            status, _, err = self.run_main("--check", "--data", tmp)
            self.assertEqual(status, 1)
            self.assertIn("inss.tab", err)
            self.assertIn("7786,03", err)
            os.remove(os.path.join(tmp, "salmin.tab"))
            status, _, err = self.run_main("--check", "--data", tmp)
            self.assertIn("salmin.tab: falta", err)

    def test_bad_source_gives_file_and_line(self):
        with tempfile.TemporaryDirectory() as tmp:
            sources = os.path.join(tmp, "sources")
            shutil.copytree(bt.SOURCES_DIR, sources)
            path = os.path.join(sources, "teto_inss.tsv")
            with open(path, encoding="utf-8") as f:
                lines = f.read().split("\n")
            n = next(i for i, line in enumerate(lines) if "\t28847,52\t" in line)
            lines[n] = lines[n].replace("\t28847,52\t", "\t28.847,52\t")
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            status, _, err = self.run_main("--sources", sources, "--out", os.path.join(tmp, "out"))
            self.assertEqual(status, 2)
            self.assertIn("teto_inss.tsv:%d" % (n + 1), err)
            self.assertFalse(os.path.exists(os.path.join(tmp, "out")))

    def test_verify_fails_on_a_wrong_index(self):
        with tempfile.TemporaryDirectory() as tmp:
            self.run_main("--out", tmp)
            path = os.path.join(tmp, bt.CHAIN_FILE)
            rows = bt.read_tab(path)
            rows = [r if r[0] != "01/1999" else [r[0], bt.num(value(r[1]) * Decimal("1.001"), 1, 20), "", ""]
                    for r in rows]
            with open(path, "wb") as f:
                f.write(bt.tab_bytes(rows))
            status, out, _ = self.run_main("--verify", "--data", tmp)
            self.assertEqual(status, 1)
            self.assertIn("FALHA fator de 01/1995 em 01/1999", out)


if __name__ == "__main__":
    unittest.main()
