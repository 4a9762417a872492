"""Writes data/FONTES.md: for every table its columns, coverage, rules and
the sources and norms of its values. Generated with the tables, so the
coverage it states is always the coverage of the files."""

import re
import sys

bt = None   # the builder module, set by render (it may be running as __main__)


def cell(text):
    return text.replace("|", "\\|").replace("\n", " ").strip() or "—"


def span_text(spans):
    return ", ".join(bt.month_text(a) if a == b else "%s–%s" % (bt.month_text(a), bt.month_text(b))
                     for a, b in spans)


def coverage(months):
    months = sorted(months)
    have = set(months)
    gaps = bt.spans(m for m in range(months[0], months[-1] + 1) if m not in have)
    return bt.spans(months), gaps


def source_rows(items):
    """Distinct source rows behind a month -> (value, rows, ...) map, in order."""
    seen, out = set(), []
    for m in sorted(items):
        for r in items[m][1]:
            if r.where() not in seen:
                seen.add(r.where())
                out.append(r)
    return out


def render(build):
    global bt
    bt = sys.modules[type(build).__module__]
    out = []
    w = out.append
    src, cur = build.src, build.cur

    w("# Fontes das tabelas de índices\n")
    w("Gerado por `tools/databuild/build_tables.py` junto com as tabelas `.tab` desta pasta. Não edite à mão: "
      "mude as fontes ou o builder e rode `python3 tools/databuild/build_tables.py`. O teste `data_tables` "
      "confere que os arquivos gravados são exatamente a saída do builder e que a cadeia de correção "
      "reproduz os fatores oficiais conhecidos.\n")
    w("## Origem dos valores\n")
    w("Todo valor vem dos arquivos de `data/sources/`, cópia sem alteração da pesquisa de fatos públicos "
      "(legislação e índices oficiais) descrita em `data/sources/README.md`; cada linha daqueles arquivos "
      "traz a norma e o endereço onde o valor foi lido, e as notas das divergências entre fontes. Nenhum "
      "valor foi estimado, interpolado ou repetido sobre uma lacuna: um mês cujo valor as fontes não dão "
      "fica fora da tabela. Os poucos valores calculados a partir de valores lidos por uma regra legal "
      "estão marcados como DERIVADO abaixo.\n")
    w("## Formato\n")
    w("- Windows-1252, um TAB depois de cada campo (inclusive o último), CR LF depois de cada linha; a "
      "linha 0 traz os títulos das colunas.")
    w("- Números com vírgula decimal e sem separador de milhar; valores nominais, na moeda do mês.")
    w("- Uma linha por mês, do mais antigo ao mais recente: o programa procura cada mês na sua própria linha "
      "(ver \"Mês que falta\"), então uma tabela só com os meses de mudança não serviria.\n")

    w("## Regras comuns\n")
    w("**Mês de vigência.** Um valor que entra em vigor em qualquer dia de um mês vale para o mês inteiro, "
      "como o programa o lê (ao procurar um mês ele troca o dia por 01). Ex.: o salário mínimo de "
      "03/04/2000 é o de 04/2000, como no piso de benefícios da Portaria MPAS 4.824/2000.\n")
    w("**Moeda de cada mês.** Uma troca de moeda num dia depois do primeiro vale a partir do mês em que a "
      "moeda nova vigorou na maior parte dos dias. Isso dá exatamente os meses em que o programa divide "
      "o benefício pelo corte de zeros: cruzado em 03/1986 (troca em 28/02/1986), cruzado novo em 01/1989 "
      "(16/01/1989), cruzeiro real em 08/1993 e URV em 03/1994; o builder para com erro se `moeda.tsv` "
      "levar a outros meses. Os valores de cada tabela estão na moeda do seu mês (ex.: o PNS de "
      "Cz$ 54.374,00 de 01/1989 aparece como NCz$ 54,374). Meses e moedas:\n")
    w("| a partir de | moeda | divisor da cadeia | fonte |")
    w("|---|---|---|---|")
    for m, symbol, div, r in cur.changes:
        d = cur.chain_divisor(m)
        w("| %s | %s | %s | %s |" % (bt.month_text(m), symbol, bt.num(d, 0) if d is not None else "—",
                                      cell(r["norma"] + "; " + r["fonte"] if r["norma"] else r["fonte"])))
    w("")
    w("Os valores de 1940–1942 estão em mil-réis (1$000 = Cr$ 1,00, sem divisor). Na cadeia de correção "
      "o cruzeiro real vira URV pela URV de 28/02/1994, CR$ %s (Lei 8.880/94 art. 21 §1º; valor DERIVADO "
      "em `urv_diaria.tsv`, o mesmo que o programa usa para fevereiro de 1994), e a URV vira real a 1 por 1."
      "\n" % bt.num(cur.urv_0228, 2))
    w("**Mês que falta.** Um cálculo que precisa de um mês que a tabela não tem é recusado e não calcula "
      "nada com outro valor no lugar: o assistente de atrasados confere antes de calcular todos os meses de "
      "todas as tabelas que o cálculo lê e para com uma só mensagem, que nomeia cada tabela pelo seu arquivo "
      "na pasta de dados e os meses que lhe faltam (ex.: \"- inss.tab não tem os meses 03/1992 a 12/1992: "
      "acrescente esses meses ao arquivo (uma linha por mês, em ordem).\"); a janela de revisão para no "
      "primeiro mês que falta (ex.: \"O mês 03/1992 não está na tabela inss.tab\"). Vale "
      "para os reajustes de `crmensalrev3.tab` (e de `crmensalrevinss.tab`, quando lida), que não dão mais "
      "fator 1 a um mês ausente; para as séries de correção (um salário cujo mês não tem fator, uma data "
      "final depois do último mês da série); e para `salmin.tab` e `inss.tab`, cuja busca exige a linha do "
      "próprio mês e não toma mais a linha do mês seguinte nem a primeira linha da tabela. O cálculo da RMI "
      "pelo Decreto 83.080/79 lê o maior e o menor valor-teto na linha exata do mês seguinte à data final e "
      "é recusado também quando a célula do menor está vazia. Quando o primeiro reajuste do benefício é "
      "proporcional e `atuaprev.tab` não tem o mês de início dentro da janela desse reajuste, o cálculo é "
      "recusado e não aplica o reajuste inteiro no lugar (ver a seção da tabela). Uma leitura não recusa: a "
      "simulação de aposentadoria (janela que nenhum comando abre) toma o salário mínimo e o teto da última "
      "linha que não passa do mês, e só recusa um mês depois da última linha. Os meses que faltam estão na "
      "seção \"Lacunas que restam\".\n")

    w("## Cobertura\n")
    w("| arquivo | grade | meses cobertos | meses que faltam entre o primeiro e o último |")
    w("|---|---|---|---|")
    grids = {
        "salmin.tab": "GridSalmin", "inss.tab": "gridiinss", "crmensalrev3.tab": "GridCorrRev",
        "crmensalrevinss.tab": "Gridcrmensal", "atuaprev.tab": "tabatusal",
        bt.CHAIN_FILE: "INPCGrid, SRevisaoIII, Gridanterior1994", bt.IGPDI_FILE: "SRevisaoI",
        bt.INPC2004_FILE: "SRevisaoII", "inpc98.tab": "gridinpc98",
    }
    for name, rows in build.tables.items():
        months = [bt.month(r[0][-7:]) for r in rows[1:]]
        have, gaps = coverage(months)
        w("| %s | `%s` | %s | %s |" % (name, grids[name], span_text(have), span_text(gaps) or "nenhum"))
    w("")
    w("Em `inss.tab` a coluna 2 (menor valor-teto) só está preenchida a partir de %s (ver a seção da tabela)."
      "\n" % bt.month_text(bt.SINGLE_LIMIT_FROM))
    last_year(build, w)
    remaining_gaps(build, w)

    # ---------------------------------------------------------------- salmin
    w("## salmin.tab\n")
    w("Colunas: 0 \"Data\" (\"01/mm/aaaa\"), 1 \"Salário Mínimo\" (valor em vigor no mês, na moeda do mês).\n")
    have, gaps = coverage(build.salmin)
    w("Cobertura: %s. Faltam: %s.\n" % (span_text(have), span_text(gaps) or "nenhum"))
    w("Lacunas das fontes (`data/sources/README.md`, \"Lacunas\"), cada uma deixando de fora os meses até a "
      "mudança conhecida seguinte:\n")
    for text, note in bt.SALMIN_UNKNOWN.items():
        w("- %s: %s." % (text, note))
    w("")
    w("Antes de 05/1984 o valor é o maior salário mínimo regional. **De 08/1987 a 05/1989 a coluna traz o Piso "
      "Nacional de Salários (PNS, DL 2.351/87)**, não o Salário Mínimo de Referência (SMR): o PNS era o piso "
      "salarial, o salário mínimo de que falam a Constituição de 1988 (art. 7º IV, art. 201) e o art. 58 do "
      "ADCT, que o programa aplica com esta coluna; o SMR era só um indexador (e faltam nas fontes os seus "
      "valores de 02/1988 a 04/1989). De 06/1989 em diante volta o salário mínimo (Lei 7.789/89).\n")
    w("Fontes (vigência, valor como lido, norma, onde foi lido):\n")
    w("| vigência | valor | moeda | norma | fonte |")
    w("|---|---|---|---|---|")
    for r in source_rows(build.salmin):
        w("| %s | %s | %s | %s | %s |" % (r["vigencia"], r["valor"], cell(r["moeda"]), cell(r["norma"]),
                                          cell(r["fonte"])))
    w("")

    # ------------------------------------------------------------------ inss
    w("## inss.tab\n")
    w("Colunas: 0 \"Data\" (\"mm/aaaa\"), 1 \"Maior valor-teto\" (o teto em vigor no mês), 2 \"Menor "
      "valor-teto\".\n")
    have, gaps = coverage(build.teto)
    w("Cobertura: %s. Faltam: %s.\n" % (span_text(have), span_text(gaps) or "nenhum"))
    ceiling_decision(build, w)
    w("Escolhas: 1990 usa o limite superior da 3ª faixa de contribuição (o limite do salário-de-contribuição, "
      "igual ao do salário-de-benefício desde 07/1989); **08/1989 = 1.931,40**, da tabela secundária (1.500,00 "
      "corrigido pelo BTN, como todo o período 07/1989–03/1990), embora a ementa do Decreto 97.968/89 diga "
      "\"julho e agosto de 1989\" para os 1.500,00 (conflito anotado na linha); de 04 a 06/1991 repete-se o "
      "limite de 03/1991, como na tabela (salário mínimo parado); **01/2011 usa 3.691,74**, o teto que "
      "acompanhou a troca retroativa do reajuste de 6,41% para 6,47% (3.467,40 × 1,0647), no lugar de "
      "3.689,66; os meses marcados \"inferido\" em `teto_inss.tsv` (1997, 1999, 2000, 2002) e 12/1998 e "
      "01/2004 (EC 20/98 e EC 41/03) seguem a fonte.\n")
    w("**07/1994 = 582,86** (não 582,66, erro de digitação da tabela univille): lido na tabela de contribuição "
      "\"a partir de 01/1995\" (faixas 174,86 / 291,43 / 582,86) e conferido pelo builder: 582,86 × 100/70 "
      "(o reajuste de 42,86% de 05/1995, salário mínimo de 70,00 para 100,00) = 832,66, o teto de 05/1995. "
      "**06/2003 = 1.869,34** (Portaria MPS 727/2003, citada em fonte secundária; o texto da portaria não foi "
      "lido), conferido pelo builder: 1.561,56 (teto de 06/2002) × 1,1971 (reajuste de 19,71% de 06/2003) = "
      "1.869,34. O builder para com erro se uma dessas contas deixar de fechar.\n")
    w("**FONTE ÚNICA.** %s vêm de uma só fonte secundária (o blog \"Valores de Contribuição Pelo Teto, de "
      "1988 a 2003\"), como diz a nota de cada linha; de 07/1989 em diante cada passo dela reproduz um "
      "índice desta pasta (o BTN, o INPC, o IRSM menos 10 pontos, os reajustes de 1991–1994) ou o passo do "
      "salário mínimo do mês, e o builder confere os passos dos meses de reajuste de 1991–1994 (seção seguinte). De 01/1988 a 06/1989 "
      "só 01/1988 e 05/1989 conferem com 20 × o Salário Mínimo de Referência (Lei 6.950/81 art. 4º).\n"
      % span_text(bt.spans(bt.month(r["vigencia"]) for r in source_rows(build.teto) if unique(r))))
    w("| vigência | teto | norma | fonte | nota |")
    w("|---|---|---|---|---|")
    for r in source_rows(build.teto):
        w("| %s | %s | %s | %s | %s |" % (r["vigencia"], r["teto"], cell(r["norma"]), cell(r["fonte"]),
                                          cell(r["nota"][:160])))
    w("")

    # ------------------------------------------------------------ crmensal
    w("## crmensalrev3.tab e crmensalrevinss.tab\n")
    w("Colunas: 0 \"Data\" (\"mm/aaaa\"), 1 \"Índice\" (fator do reajuste geral dos benefícios que entra em "
      "vigor no mês, ou o texto \"1\" exatamente onde não há reajuste: o assistente compara esse texto), "
      "2 \"Salário Mínimo\" (o de `salmin.tab` para o mês), 3 \"Moeda\", 4 \"Início até\" (um mês \"mm/aaaa\" "
      "numa linha cujo reajuste os atos deram só aos benefícios iniciados até esse mês; vazia em todas as outras "
      "linhas, e vazia quer dizer que o reajuste vale para todo benefício). As duas tabelas são iguais: as fontes "
      "dão um só reajuste por mês, o que a lei manda e o INSS pagou (em 09/1991, os 147,06% pagos com atraso "
      "pela Portaria MPS 302/92 no lugar dos 79,96% de 19/09/1991). O assistente só leria "
      "`crmensalrevinss.tab` com a caixa do IRSM, que ele desmarca antes de cada cálculo; a simulação a lê "
      "como tabela de reajustes.\n")
    months = build.correction_months()
    have, gaps = coverage(months)
    w("Cobertura: %s. Faltam: %s.\n" % (span_text(have), span_text(gaps) or "nenhum"))
    w("Um mês só entra quando se sabe se houve reajuste nele e qual foi o salário mínimo. Começa em %s: daí "
      "em diante as fontes dão todos os reajustes (nenhum de 04 a 08/1991, com o salário mínimo parado em "
      "Cr$ 17.000,00; os anuais a partir de 1995 completos). Antes faltam os reajustes semestrais de "
      "1977–1988 e os de 1989 a 03/1991 (fora o art. 58 do ADCT, que o programa aplica com a coluna do "
      "salário mínimo), e o salário mínimo de 07–10/1989. O fator é 1 + percentual/100 do reajuste integral "
      "(o primeiro reajuste proporcional fica em `atuaprev.tab`). 03/1994 tem \"1\": é a conversão em URV, "
      "que o programa faz com o seu próprio divisor.\n" % bt.month_text(months[0]))
    readjustments_1991_1994(build, w)
    started_up_to(build, w)
    w("**2006.** A MP 291/2006 reajustou os benefícios em 04/2006 em 5,00%% (art. 1º, lido). O builder confere "
      "esse percentual com o teto, que é reajustado com os mesmos índices dos benefícios (Lei 8.212/91 art. 20 "
      "§1º): 2.668,15 × 1,05 = 2.801,56, o teto de 04/2006 (antes de ser lido, o percentual era DERIVADO dessa "
      "conta, que ficou como conferência). O aumento de 5,01%% de 08/2006 (Decreto 5.872/2006) substituiu para "
      "todos os fins o reajuste de 2006, sobre o valor anterior a abril: o fator de 08/2006 é 1,0501 / 1,05, e "
      "o teto de 08/2006 (2.668,15 × 1,0501 = 2.801,82) confere; o builder para com erro se uma das duas contas "
      "deixar de fechar. Esse aumento só valeu para benefícios iniciados até 31/03/2006: a linha 08/2006 traz "
      "%s na coluna \"Início até\". A tabela proporcional da MP 291 (benefícios iniciados de 05/2005 a "
      "03/2006) não entra em `atuaprev.tab`: a de 2006 lá é a do Decreto 5.872. Por isso, a um benefício cujo "
      "primeiro reajuste (04/2006) sai dessa tabela proporcional o programa não aplica outra vez o aumento de "
      "08/2006: o percentual do Decreto já o contém. Os meses de 04 a 07/2006 desse benefício ficam com o "
      "percentual do Decreto, um pouco acima do da MP 291, que não foi lido.\n"
      % bt.month_text(build.reaj.started_up_to[bt.month("08/2006")]))
    w("**05/2005 = 6,355%** (DERIVADO do passo do teto, 2.508,72 → 2.668,15, que só 6,355% reproduz com três "
      "casas; os 6,35% e 6,36% da imprensa são o mesmo número cortado e arredondado): fator 1,06355.\n")
    w("Os demais reajustes e as suas fontes:\n")
    w("| competência | percentual | fator | norma | fonte | nota |")
    w("|---|---|---|---|---|---|")
    for m in months:
        f, rows, note = build.reaj.factor[m]
        if not rows or bt.RULE_FROM <= m <= bt.RULE_TO:
            continue    # those of 1991-1994 are in the table above
        r = rows[0]
        w("| %s | %s | %s | %s | %s | %s |" % (r["competencia"], r["percentual"] or "—",
                                               "1" if f is None else bt.num(f, 1), cell(r["norma"]),
                                               cell(r["fonte"]), cell(note)))
    w("")

    # -------------------------------------------------------------- atuaprev
    w("## atuaprev.tab\n")
    w("Colunas: 0 \"Data\" (mês de início do benefício, \"mm/aaaa\"), 1 \"Percentual\" (percentual do "
      "primeiro reajuste, proporcional, desse benefício).\n")
    have, gaps = coverage(build.pro_rata)
    w("Cobertura: %s. Faltam: %s.\n" % (span_text(have), span_text(gaps) or "nenhum"))
    w("Uma linha por mês de início das tabelas pro rata das fontes. A primeira linha de cada tabela (\"e "
      "anteriores\") é a do mês do reajuste anterior e traz o reajuste inteiro; os meses de início anteriores já "
      "tiveram o seu primeiro reajuste antes. A tabela de 2013 das fontes é a original de 6,15%, depois "
      "retificada para 6,20% (a retificada não foi lida): fica de fora. A de 1997 é PARCIAL: só as três linhas "
      "citadas pela Folha de S.Paulo de 29/05/1997 (o Anexo da MP 1.572-1/1997 não foi lido). A de 2000 foi "
      "lida numa reprodução de jornal (confiança média, ver a nota das fontes).\n")
    w("**O que o programa faz com esta tabela.** A correção proporcional vale quando o primeiro reajuste do "
      "benefício cai na data de \"Correção proporcional do benefício\" ou depois (01/05/1996, se não foi "
      "mudada); antes dela, o primeiro reajuste é inteiro. Quando vale, o programa procura a linha do mês de "
      "início do benefício. Um início no próprio mês do reajuste anterior recebe o reajuste inteiro. Um início "
      "na janela do reajuste (depois do mês do reajuste anterior e antes do mês do reajuste) que a tabela não "
      "tem faz o cálculo ser recusado, na mensagem que nomeia todos os meses que faltam: ela nomeia "
      "`atuaprev.tab`, o mês de início e o reajuste, e pede que se acrescente o percentual do anexo do ato "
      "desse reajuste para esse mês de início. O programa nunca aplica em silêncio o reajuste inteiro no lugar "
      "do proporcional. Um cálculo que não lê a tabela (todo primeiro reajuste antes daquela data) não a "
      "exige.\n")
    ruled = rule_tables(build)
    w("**A regra pro rata.** pro rata(m) = (1 + P) / (1 + INPC acumulado da janela) × INPC acumulado de m a "
      "R − 1, − 1, com piso 0 e duas casas (P = percentual do reajuste, R = mês do reajuste, janela = do mês "
      "do reajuste anterior a R − 1; INPC de `inpc_mensal.tsv`); a primeira linha é P. As fontes a conferiram "
      "com todas as tabelas lidas (diferença máxima 0,0095 ponto percentual). O builder a recalcula em toda "
      "tabela que as fontes dizem segui-la (%s): uma linha DERIVADA tem de ser o valor da regra com duas casas "
      "e uma linha lida tem de estar a até 0,01 ponto dela, ou o builder para com erro. **DERIVADAS pela "
      "regra** (ato ou anexo não lidos; P do reajuste em `crmensalrev3.tab`): as tabelas de %s.\n"
      % (", ".join(y for y, derived in ruled), and_list(y for y, derived in ruled if derived)))
    overridden = [(m, v) for m, v in sorted(build.pro_rata.items()) if v[2]]
    if overridden:
        w("**Conflito de 2014.** %s: %s. O builder grava o valor da regra, DERIVADO, e para com erro se a nota "
          "da fonte deixar de dizer que a linha não confere.\n"
          % ("; ".join("%s = %s (a reprodução lida dá %s)" % (bt.month_text(m), bt.num(v[0], 2), v[1][0]["percentual"])
                       for m, v in overridden),
             bt.RULE_OVER_SOURCE[bt.month_text(overridden[0][0])]))
    w("**1992: três tabelas DERIVADAS**, uma para cada reajuste pelo INPC (01, 05 e 09/1992, art. 41 II da "
      "Lei 8.213/91): para o mês de início m, o INPC acumulado de m até o mês anterior ao reajuste "
      "(`inpc_mensal.tsv`), a convenção da tabela de 01/1993 da Portaria MPS 08/1993. A linha \"e "
      "anteriores\" de cada uma é o reajuste inteiro.\n")
    w("| reajuste | meses de início | obtido | fonte |")
    w("|---|---|---|---|")
    groups = {}
    for m in sorted(build.pro_rata):
        r = build.pro_rata[m][1][0]
        found = re.search(r"REAJUSTE DE (\d\d/\d{4})", r["nota"])
        groups.setdefault(found.group(1) if found else r["ano"], []).append((m, r))
    for key, items in groups.items():
        fontes = []
        for m, r in items:
            if r["fonte"] not in fontes:
                fontes.append(r["fonte"])
        w("| %s | %s | %s | %s |" % (key, span_text(bt.spans(m for m, r in items)), obtained(build, items),
                                     cell(" / ".join(fontes))))
    w("")

    # ---------------------------------------------------------------- chain
    chain = build.chains["inss"]
    w("## %s\n" % bt.CHAIN_FILE)
    w("Colunas: 0 \"Data\" (\"mm/aaaa\"), 1 \"Índice\" (número-índice acumulado), 2 e 3 vazias (levadas à "
      "grade de fatores pelo gerador).\n")
    have, gaps = coverage(build.index)
    w("Cobertura: %s. Faltam: %s.\n" % (span_text(have), span_text(gaps) or "nenhum"))
    w("O fator que o gerador de razão tira da tabela para o mês m na chave P, índice[P] / índice[m], é o "
      "produto de (1 + percentual/100) dos meses m a P − 1 da cadeia legal de correção dos "
      "salários-de-contribuição, dividido pelos divisores das trocas de moeda que entram em vigor depois de "
      "m até P: é assim que se formam os fatores das portarias do INSS. O percentual do mês m leva um "
      "valor de m para m + 1. O índice vale 1 em %s e é gravado com 15 algarismos significativos.\n"
      % bt.month_text(chain.first))
    w(chain_text(build, chain))
    w("## %s e %s\n" % (bt.IGPDI_FILE, bt.INPC2004_FILE))
    w("Colunas: 0 \"Data\" (\"mm/aaaa\"), 1 \"Percentual\" (percentual do mês na mesma cadeia), 2 vazia, 3 "
      "\"Divisor\" (divisor da troca de moeda que entra em vigor no mês; vazio onde não há).\n")
    for name, key in ((bt.IGPDI_FILE, "igpdi"), (bt.INPC2004_FILE, "inpc2004")):
        c = build.chains[key]
        have, gaps = coverage(range(c.first, c.last_pct + 1))
        w("- %s: %s (o percentual do último mês não entra em nenhum fator)." % (name, span_text(have)))
    w("")
    w("A mesma cadeia da tabela acima, com percentuais em vez de número-índice; os percentuais de ORTN, OTN "
      "e BTN são DERIVADOS dos valores nominais (valor do mês seguinte / valor do mês − 1), gravados com 10 "
      "casas. A primeira mantém o IGP-DI depois de 01/2004 (negativos aplicados: a correção monetária "
      "acompanha a deflação, STJ, REsp 1.361.191/RS, repetitivo); a segunda usa o INPC a partir de 01/2004 "
      "(de 01/2004 em diante difere da cadeia do INSS só em 01/2004). Há meses de 0% (OTN congelada de "
      "03/1986 a 01/1987, BTN de 04/1990, URV de 03/1994 a 06/1994, IGP-DI de 08/1996 e os negativos "
      "zerados): estas tabelas são lidas pelo gerador acumulado com divisor, não pelo de razão, que "
      "dividiria por esses zeros.\n")

    # --------------------------------------------------------------- inpc98
    w("## inpc98.tab\n")
    w("Colunas: 0 \"Data\" (\"mm/aaaa\"), 1 \"INPC\" (percentual mensal), 2 e 3 vazias.\n")
    months = list(build.inpc98_months())
    w("Cobertura: %s.\n" % span_text(bt.spans(months)))
    w("Começa em 07/1994 porque o gerador acumulado desta tabela não divide por nenhum corte de moeda (um "
      "fator que atravessasse uma troca de moeda sairia errado) e a simulação só lê os 48 meses anteriores "
      "a 16/12/1998. Os INPC negativos (%s) contam como zero, como o INSS fazia com o índice de correção "
      "até 06/1999. Fonte: `inpc_mensal.tsv` (IBGE, via github investash/inflacao, licença MIT).\n"
      % ", ".join(bt.month_text(m) for m in months if src.inpc_by_month[m] < 0))

    simulation_tables(build, w)

    # --------------------------------------------------------------- verify
    w("## Conferência com fatores oficiais\n")
    rows = build.tables[bt.CHAIN_FILE]
    index = {bt.month(r[0]): bt.Decimal(r[1].replace(",", ".")) for r in rows[1:]}
    results, skipped = bt.compare_checkpoints(index, src.checkpoints)
    worst = max(abs(rel) for c, ours, rel, ok in results)
    failed = [c for c, ours, rel, ok in results if not ok]
    w("`build_tables.py --verify` calcula, a partir da tabela gravada, o fator que o gerador de razão dá "
      "(índice[P] / índice[m], cortado em cinco casas) e o compara com cada fator de `checkpoints.tsv` "
      "dentro da cobertura, com tolerância de 0,01%%. Resultado: %d conferem, %d falham (maior diferença "
      "%s%%). As portarias de 1999 e 2004 diferem em cerca de −0,004%% (constante, já notada nas fontes: um "
      "índice de 1995–1998 tem mais casas no cálculo oficial); os fatores mensais de 2021–2026 diferem no "
      "máximo pela quinta casa cortada.\n" % (len(results) - len(failed), len(failed), bt.num(worst * 100, 4, 4)))
    by_table = {}
    for c, why in skipped:
        by_table.setdefault((c["tabela"], c["mes_referencia"]), []).append(bt.month(c["competencia"]))
    for (table, key), ms in by_table.items():
        w("- Pulados (fora da cobertura), chave %s, %s: competências %s." % (key, table, span_text(bt.spans(ms))))
    w("")
    return "\n".join(out) + "\n"


def simulation_tables(build, w):
    """The tables of the simulation forms: grace periods, conversion factors
    and benefit coefficients."""
    src = build.src
    w("## prazosAI.tab\n")
    rows = build.other_tables["prazosAI.tab"]
    w("Colunas: 0 \"Ano\" (o ano como texto, de %s a %s), 1 \"Lei 8.213/91\" (meses de contribuição exigidos "
      "pela redação original do art. 142, pelo ano da entrada do requerimento), 2 \"Lei 9.032/95\" (pela "
      "redação da Lei 9.032/95, pelo ano em que o segurado implementou todas as condições).\n"
      % (rows[1][0], rows[-1][0]))
    w("A janela \"Prazos\" procura o ano em que a pessoa completou cada idade; um ano anterior a 1991 usa a "
      "linha 1991 e um ano posterior à última linha mostra as células vazias: a tabela de transição do art. "
      "142 termina aí, e desde então vale a carência de 180 contribuições do art. 25, II, que a tabela não "
      "repete. Uma célula vazia é um ano que aquela redação não lista (nada estimado).\n")
    w("| ano | Lei 8.213/91 | Lei 9.032/95 | nota |")
    w("|---|---|---|---|")
    for r in src.prazos:
        w("| %s | %s | %s | %s |" % (r["ano"], r["meses_lei_8213_91"] or "—", r["meses_lei_9032_95"] or "—",
                                     cell(r["nota"])))
    w("")
    w("Fontes (as mesmas para todos os anos):\n")
    seen = []
    for r in src.prazos:
        for norma, fonte in ((r["norma_8213"], r["fonte_8213"]), (r["norma_9032"], r["fonte_9032"])):
            if fonte and (norma, fonte) not in seen:
                seen.append((norma, fonte))
    for norma, fonte in seen:
        w("- %s: %s" % (cell(norma), cell(fonte)))
    w("")

    w("## fator.tab\n")
    w("Colunas: 0 \"Tempo a converter\" (o tempo exigido da atividade especial), 1 \"Mulher (para 30)\" e 2 "
      "\"Homem (para 35)\" (o multiplicador que converte esse tempo em tempo comum). É a tabela que a janela "
      "\"Fator\" mostra.\n")
    w("| tempo a converter | mulher (para 30) | homem (para 35) | norma | fonte | nota |")
    w("|---|---|---|---|---|---|")
    for r in src.fator:
        w("| %s | %s | %s | %s | %s | %s |" % (r["tempo_a_converter"], r["multiplicador_mulher_para_30"],
                                               r["multiplicador_homem_para_35"], cell(r["norma"]),
                                               cell(r["fonte"]), cell(r["nota"])))
    w("")

    w("## coeficientes.tab\n")
    w("Colunas (as oito da grade `Gridcoeficientes`): 0 \"Benefício\" (o texto exato do tipo de benefício da "
      "simulação), 1 \"Percentual\" (fração do salário-de-benefício), 2 \"Acréscimos\" (pontos percentuais por "
      "ano), 3 \"Contribuições\", 4 e 5 \"Carência H\" e \"Carência M\" (contribuições mensais exigidas), 6 e 7 "
      "\"Anos Ben. H\" e \"Anos Ben. M\". Fonte: `coeficientes.md`, seção 3 (proposta de preenchimento), "
      "com as regras lidas na seção 1.\n")
    w("**DERIVADO.** As colunas \"Contribuições\" e \"Anos Ben.\" não têm correspondente na lei: os valores "
      "marcados abaixo foram escolhidos para que a fórmula da simulação (coeficiente = Percentual + "
      "Acréscimos × Trunc(Contribuições − Anos Ben. + T) / 100, 100% quando T passa de Anos Ben., T = anos de "
      "contribuição sem bônus) reproduza a lei. Um teste da simulação lê esta tabela e confere: homem 70% aos "
      "30 anos, 82% aos 32 e 100% aos 35; mulher 70% aos 25 e 100% aos 30 (art. 53). Para a aposentadoria "
      "por idade a fórmula conta anos, e a lei grupos de 12 contribuições: é uma aproximação. A fórmula não "
      "barra um tempo abaixo do mínimo (homem com 29 anos daria 64%); só a carência é conferida.\n")
    w("| benefício | percentual | acréscimos | contribuições | carência H | carência M | anos ben. H | "
      "anos ben. M | base |")
    w("|---|---|---|---|---|---|---|---|---|")
    for r in src.coeficientes:
        values = [r[c] + (" (DERIVADO)" if c in r.derived else "") for c in bt.COEFFICIENT_COLUMNS[1:]]
        w("| %s | %s | %s |" % (r["Benefício"], " | ".join(values), cell(r.get("base", ""))))
    w("")
    w("Os percentuais dos arts. 44 e 61 são os da redação da Lei 9.032/95 (a redação original de 1991 não foi "
      "lida). A carência de 180 é a regra permanente do art. 25, II; para os inscritos até 24/07/1991 vale a "
      "tabela do art. 142 (`prazosAI.tab`), que a simulação não consulta.\n")
    w("Regras lidas e onde foram lidas (`coeficientes.md`, seção 1):\n")
    w("| benefício | regra | norma | onde foi lido | confiança |")
    w("|---|---|---|---|---|")
    for r in src.regras:
        w("| %s |" % " | ".join(cell(r[c]) for c in bt.RULE_COLUMNS))
    w("")


def chain_text(build, chain):
    src = build.src
    lines = ["Períodos da cadeia (índice que leva cada mês ao seguinte):\n",
             "| meses | índice | fonte dos valores | base legal |", "|---|---|---|---|"]
    correcao = {bt.month(r["competencia"]): r for r in src.correcao}
    runs = []
    for m in range(chain.first, chain.last_pct + 1):
        name = chain.name[m].split("/")[0]
        key = (name, m == bt.INPC_FROM)
        if runs and runs[-1][3] == key and runs[-1][1] == m - 1:
            runs[-1][1] = m
        else:
            runs.append([m, m, name, key])
    for a, b, name, key in runs:
        if name in ("ORTN", "OTN", "BTN"):
            source = "`ortn_otn_btn.tsv` (valor nominal do título; github RafaelEstevamReis/Simple.Indicators, " \
                     "licença MIT, conferido com a cadeia t222)"
            law = {"ORTN": "Lei 6.423/77", "OTN": "DL 2.284/86",
                   "BTN": "Lei 7.730/89 (fim da OTN); Lei 7.777/89 (BTN)"}[name]
        elif name == "URV":
            source = "salários já expressos em URV (percentual 0; URV = R$ 1,00 em 07/1994)"
            law = "Lei 8.880/94 art. 21"
        elif a == bt.INPC_FROM:
            source = "`inpc_mensal.tsv` (IBGE)"
            law = "fim do BTN (Lei 8.177/91); Lei 8.213/91 art. 31"
        else:
            r = correcao.get(a)
            source = "`correcao_salarios_contribuicao.tsv`" if r is not None else "`inpc_mensal.tsv`"
            if name in ("INPC", "IGP-DI"):
                source += " (conferido com `%s`)" % ("inpc_mensal.tsv" if name == "INPC" else "igpdi_mensal.tsv")
            elif name == "IRSM":
                source += " (1993: fonte única, a tabela t222; 01–02/1994 lidos na imprensa)"
            elif name == "IPC-r":
                source += " (DERIVADOS nas fontes da razão entre fatores oficiais; 07/1994 confirmado pelo IBGE)"
            law = r["base_legal"] if r is not None else ""
        lines.append("| %s | %s | %s | %s |" % (span_text([(a, b)]), name, source, cell(law)))
    lines.append("")
    notes = [(m, chain.note[m]) for m in sorted(chain.note) if chain.note[m]]
    lines.append("Pontos da cadeia que pedem escolha:\n")
    lines.append("- 01/1989 → 02/1989: a OTN de 01/1989 (Cz$ 6.170,19 = NCz$ 6,17019) vira 6,17 BTN de NCz$ 1,00 "
                 "(Lei 7.730/89): percentual −0,0031%.")
    lines.append("- 02/1991 → 03/1991: o BTN acabou com o valor de 02/1991 (Lei 8.177/91) e a Lei 8.213/91 "
                 "(art. 31) corrige os salários pelo INPC; o passo usa o INPC de 02/1991.")
    lines.append("- 02/1994: entra o IRSM de fevereiro (39,67%), como manda a Lei 10.999/2004 (revisão do IRSM "
                 "de 02/1994); depois o valor em cruzeiros reais é dividido pela URV de 28/02/1994.")
    lines.append("- 04/1996: o IGP-DI já entra no passo de abril, como nos fatores oficiais.")
    lines.append("- IGP-DI negativo até 06/1999 conta como zero (os fatores de 1999 e 2004 só fecham assim): %s; "
                 "a partir de 07/1999 os negativos entram (05–07/2003 verificados); INPC negativo entra "
                 "(\"variação integral\", Lei 8.213/91 art. 29-B; verificado em 09/2022)."
                 % ", ".join(bt.month_text(m) for m, n in notes if "zero" in n))
    lines.append("- 01/2004: IGP-DI (continuidade; a MP 167/2004 troca pelo INPC a partir de 02/2004).")
    lines.append("- FONTE ÚNICA: o IRSM de 01–12/1993 (tabela t222, sem licença) e o INPC de %s (espelho sem "
                 "licença da série do BCB); na tabela que mantém o IGP-DI, também o IGP-DI de %s."
                 % (span_text(bt.spans(unique_months(src.inpc))), span_text(bt.spans(unique_months(src.igpdi)))))
    lines.append("")
    return "\n".join(lines)


def money(text):
    """A source amount ("1621,00") as the program shows it ("1.621,00")."""
    whole, _, frac = text.partition(",")
    groups = []
    while len(whole) > 3:
        groups.insert(0, whole[-3:])
        whole = whole[:-3]
    return ".".join([whole] + groups) + ("," + frac if frac else "")


def derived_how(fonte):
    """'DERIVADO' with what it was derived from: its parenthesis, or the text
    up to the first ';'."""
    rest = fonte[len("DERIVADO"):]
    if rest.startswith(" ("):
        depth = 0
        for i, ch in enumerate(rest):
            depth += {"(": 1, ")": -1}.get(ch, 0)
            if depth == 0 and ch == ")":
                return "DERIVADO" + rest[:i + 1]
    return ("DERIVADO" + rest).split(";")[0]


def unique(r):
    """A source row whose value has a single source, as its note says."""
    return "fonte única" in (r.get("nota", "") + " " + r.get("fonte", "")).lower()


def unique_months(rows):
    return [bt.month(r["competencia"]) for r in rows if unique(r)]


def last_year(build, w):
    """The months after the latest change the sources read, and the acts
    they rest on."""
    acts = build.acts
    first, last = bt.month_text(bt.LAST_YEAR_FROM + 1), bt.month_text(bt.LAST_MONTH)
    w("## Os meses de %s a %s\n" % (first, last))
    w("`salmin.tab`, `inss.tab`, `crmensalrev3.tab` e `crmensalrevinss.tab` vão até %s, além do último índice "
      "publicado: são meses que os atos em vigor já fixam.\n" % last)
    w("- Salário mínimo de R$ %s: %s, a partir de %s; vale até o ato seguinte, e nenhum foi achado (as fontes "
      "olharam até 09/2026)." % (money(acts["salmin"]["valor"]), cell(acts["salmin"]["norma"]), acts["salmin"]["vigencia"]))
    w("- Teto de R$ %s: %s, a partir de %s; vale até a portaria do reajuste seguinte." %
      (money(acts["teto"]["teto"]), cell(acts["teto"]["norma"]), acts["teto"]["vigencia"]))
    w("- Reajuste de %s%% em %s (%s) e \"1\" de %s a %s: desde 2004 os benefícios são reajustados uma vez por "
      "ano, na data do reajuste do salário mínimo (Lei 8.213/91 art. 41, na redação da Lei 10.699/2003); o "
      "seguinte é o de 01/%d." % (acts["reajuste"]["percentual"], acts["reajuste"]["competencia"],
                                  cell(acts["reajuste"]["norma"]), first, last, bt.LAST_MONTH // 12 + 1))
    w("")
    w("Valem até %s. Um ato que mude um desses valores antes (como a MP 1.172/2023 mudou o salário mínimo em "
      "05/2023) pede as fontes e as tabelas refeitas; o builder para com erro se as fontes trouxerem uma "
      "mudança depois de %s. As séries de correção vão só até onde vai o INPC publicado.\n"
      % (last, bt.month_text(bt.LAST_YEAR_FROM)))


def ceiling_decision(build, w):
    first, single = bt.month_text(bt.TETO_FIRST), bt.month_text(bt.SINGLE_LIMIT_FROM)
    before = bt.month_text(bt.SINGLE_LIMIT_FROM - 1)
    w("**Colunas 1 e 2.** A partir de %s há um único limite, comum ao salário-de-contribuição e ao "
      "salário-de-benefício (Decreto 97.968/89, art. 1º): não existe mais menor valor-teto, e a coluna 2 "
      "repete a coluna 1, o que faz o cálculo do Decreto 83.080/79 não gerar parcela adicional. Antes, o "
      "salário-de-benefício tinha um maior e um menor valor-teto, que as fontes não dão.\n" % single)
    w("**%s a %s: decisão.** Para esses meses `teto_inss.tsv` traz o limite do salário-de-contribuição, não o "
      "maior nem o menor valor-teto. Quem lê `INSS - Teto` nesses meses:\n" % (first, before))
    w("- A nova RMI pela Lei 8.213/91 com \"Considerar Teto e Salário Mínimo\": limita cada salário pelo teto "
      "do seu próprio mês, na moeda em que foi pago, e depois o corrige. É exatamente o limite do "
      "salário-de-contribuição daquele mês: a lei manda considerar os salários-de-contribuição \"respeitando-se "
      "os limites mínimo e máximo vigentes nos meses a que se referirem\" (Lei 8.213/91 art. 135). Na data de "
      "início o mesmo limitador limita o salário-de-benefício e a RMI pelo limite do salário-de-contribuição "
      "(art. 29 §2º, art. 33). Benefícios iniciados de 05/10/1988 a 05/04/1991 são recalculados por essa lei "
      "(art. 144), com salários de 1988 e 1989: **esta leitura pode ler estes meses, e lê o valor certo.**")
    w("- O cálculo da RMI pelo Decreto 83.080/79 (o dos benefícios anteriores a 05/10/1988): lê o maior e o "
      "menor valor-teto (colunas 1 e 2) no mês seguinte à data final dos salários, e limita o "
      "salário-de-benefício pela coluna 1 da data final. O limite de contribuição não é nenhum dos dois: "
      "**esta leitura não pode ler estes meses.**")
    w("- A evolução mensal do benefício (assistente e janela de revisão) lê a coluna 1 como teto do benefício; "
      "não chega a esses meses, porque `crmensalrev3.tab` começa em %s e o cálculo para antes."
      % bt.month_text(build.correction_months()[0]))
    w("")
    w("Por isso os meses entram com o limite na coluna 1 e **a coluna 2 vazia**. A Lei 8.213/91 os lê. O cálculo "
      "pelo Decreto 83.080/79 com data final de %s a %s é recusado pela coluna 2 vazia (\"inss.tab não tem o "
      "valor da coluna 3 (Menor valor-teto) no mês mm/aaaa\", contadas as colunas do arquivo a partir de 1) "
      "em vez de tomar o limite de contribuição por menor "
      "valor-teto; com data final antes de %s, o mês falta. Sobra um caso fora do período desse cálculo: com "
      "data final em %s (início em %s) o salário-de-benefício é limitado pelo limite de contribuição de %s "
      "(%s). O salário mínimo de 1988 e 1989 tem lacunas (`salmin.tab`): uma nova RMI com \"Considerar Teto e "
      "Salário Mínimo\" que passe por elas ainda para no salário mínimo.\n"
      % (first, bt.month_text(bt.SINGLE_LIMIT_FROM - 2), first, before, single, before,
         bt.num(build.teto[bt.SINGLE_LIMIT_FROM - 1][0], 2)))


def readjustments_1991_1994(build, w):
    """The readjustments of 04/1991-02/1994, read or DERIVADO, with the
    ceiling's and the minimum wage's steps the builder checked them with."""
    w("**%s a %s.** Os reajustes caem exatamente nos meses em que o salário mínimo mudou, e o builder confere "
      "isso: até 01/1993 pelo INPC integral a cada mudança do salário mínimo (Lei 8.213/91 art. 41 II, "
      "redação original; Decreto 611/92 art. 38 II), depois pelo IRSM nos reajustes quadrimestrais e nas "
      "antecipações (Lei 8.542/92; MP 340/93 e Lei 8.700/93). O teto é reajustado na mesma época e pelos "
      "mesmos índices (Lei 8.212/91 art. 28 §5º): o builder para com erro se o passo do teto do mês diferir do "
      "fator em mais de 0,01%%. O passo do salário mínimo é dado só para comparar (o mínimo teve reajustes "
      "próprios).\n" % (bt.month_text(bt.RULE_FROM), bt.month_text(bt.RULE_TO)))
    w("Lido: 09/1991 (Portaria MPS 302/92), 01/1993 (Portaria MPS 08/1993), 03/1993 (Portaria MPS 79/1993), "
      "01/1994 e 02/1994 (Folha de S.Paulo de 30/01/1994; o 01/1994 também pelo FAS 3,422966 lido numa decisão "
      "do TRF4). **DERIVADO** (a regra legal aplicada aos índices desta pasta, cada um conferido com o passo "
      "do teto e do salário mínimo, dito na `nota`): 01/1992 (o percentual 119,82342% foi lido na Portaria "
      "MEFP 42/92 como reajuste dos salários, = INPC 09–12/1991; a portaria dos benefícios não foi lida); "
      "05/1992 e 09/1992 (INPC de 01–04 e 05–08/1992, `inpc_mensal.tsv`); 05/1993 e 09/1993 (IRSM acumulado "
      "do quadrimestre, de fonte única, descontadas as antecipações do quadrimestre); 07/1993 (razão do teto "
      "e do salário mínimo; a regra exata não foi lida); 08/1993 e 10–12/1993 (IRSM do mês anterior menos "
      "10 pontos, Lei 8.700/93). 05, 07 e 09/1993: confiança média (o texto da regra não foi lido).\n")
    w("| competência | percentual | fator | obtido | norma | passo do teto | passo do salário mínimo |")
    w("|---|---|---|---|---|---|---|")
    for m in range(bt.RULE_FROM, bt.RULE_TO + 1):
        f, rows, note = build.reaj.factor[m]
        if f is None:
            continue
        r = rows[0]
        how = derived_how(r["fonte"]) if r["fonte"].startswith("DERIVADO") else "lido"
        ceiling_step, wage_step = build.reaj.steps[m]
        w("| %s | %s | %s | %s | %s | %s | %s |" % (r["competencia"], r["percentual"], bt.num(f, 1), cell(how),
                                                    cell(r["norma"][:160]), bt.num(ceiling_step, 1, 7),
                                                    bt.num(wage_step, 1, 7)))
    w("")
    w("Os meses desse período sem linha na tabela acima têm \"1\": o salário mínimo não mudou neles. A divisão "
      "dos 147,06% de 09/1991 para os iniciados de 04 a 08/1991 e as tabelas pro rata de 05/1993, 09/1993 e "
      "01/1994 não foram lidas (ver `atuaprev.tab`). As antecipações de 1993 entram pelo mês, como os demais "
      "reajustes: a tabela é uma só para todos os benefícios.\n")


def started_up_to(build, w):
    """The readjustments given only to the benefits started up to a month,
    with their sources."""
    w("**Coluna \"Início até\".** Um reajuste que os atos deram só aos benefícios iniciados até um mês traz "
      "esse mês na coluna 4; o programa não o aplica a um benefício iniciado depois, nem o toma como o "
      "primeiro reajuste dele. O builder tira o mês da nota da linha em `reajuste_beneficios.tsv` (\"para "
      "DIB <= dd/mm/aaaa\") e para com erro se a data não for o último dia de um mês anterior ao reajuste. Em "
      "toda outra linha a coluna fica vazia: o reajuste vale para todo benefício.\n")
    w("| competência | início até | norma | fonte | nota |")
    w("|---|---|---|---|---|")
    for m in sorted(build.reaj.started_up_to):
        r = build.reaj.factor[m][1][0]
        w("| %s | %s | %s | %s | %s |" % (r["competencia"], bt.month_text(build.reaj.started_up_to[m]),
                                          cell(r["norma"]), cell(r["fonte"]), cell(r["nota"])))
    w("")


def and_list(items):
    items = list(items)
    return ", ".join(items[:-1]) + " e " + items[-1] if len(items) > 1 else "".join(items)


def rule_tables(build):
    """(year, derived) of the proportional tables the builder checked by the
    rule, in order; derived when the sources derived them by it."""
    out = []
    for r in build.src.pro_rata:
        if bt.month(r["mes_dib"]) in build.pro_rata and bt.RULE_MARK in r["fonte"] + r["nota"]:
            derived = r["fonte"].startswith("DERIVADO") or "; DERIVADO" in r["fonte"]
            if not out or out[-1][0] != r["ano"]:
                out.append((r["ano"], derived))
    return out


def obtained(build, items):
    """How the rows of one proportional table were obtained."""
    r = items[0][1]
    how = "DERIVADO" if r["fonte"].startswith("DERIVADO") or "; DERIVADO" in r["fonte"] else "lido"
    if bt.RULE_MARK in r["fonte"] + r["nota"]:
        how += " (regra pro rata)" if how == "DERIVADO" else ", conferido com a regra pro rata"
    if any("PARCIAL" in x["nota"] for m, x in items):
        how += ", PARCIAL"
    if "confiança média" in r["nota"]:
        how += ", confiança média"
    over = [m for m, x in items if build.pro_rata[m][2]]
    if over:
        how += "; %s DERIVADOS pela regra (conflito)" % " e ".join(bt.month_text(m) for m in over)
    return how


def proportional_refusals(build, since):
    """Start months atuaprev.tab lacks that the program refuses when the
    proportional rule holds from month since: those inside the window of a
    first readjustment on or after it, not in the month of the readjustment
    before. Returns (months, readjustment months)."""
    readj = sorted(m for m, f in build.reaj.factor.items() if f[0] is not None)
    last = max(build.reaj.factor)
    months, windows = [], []
    for m in range(min(build.reaj.factor), last + 1):
        if m in build.pro_rata or (m in readj and build.reaj.started_up_to.get(m, m) >= m):
            continue    # a row, or a start in the month of the readjustment before
        first = [k for k in readj if k > m and build.reaj.started_up_to.get(k, m) >= m]
        if first and first[0] >= since:
            months.append(m)
            if first[0] not in windows:
                windows.append(first[0])
    return months, windows


def remaining_gaps(build, w):
    """Every month a calculation may need and the tables lack."""
    src = build.src
    w("## Lacunas que restam\n")
    salmin_have, salmin_gaps = coverage(build.salmin)
    w("- `salmin.tab`: %s (as lacunas das fontes listadas na seção da tabela). Antes de %s não há tabela." %
      (span_text(salmin_gaps), bt.month_text(min(build.salmin))))
    w("- `inss.tab`: nenhum mês falta de %s a %s; antes, só o limite de contribuição de 1980 é conhecido (fica "
      "fora). A coluna 2 (menor valor-teto) falta de %s a %s: o maior e o menor valor-teto de antes de "
      "07/1989 não foram achados." % (bt.month_text(min(build.teto)), bt.month_text(max(build.teto)),
                                      bt.month_text(bt.TETO_FIRST), bt.month_text(bt.SINGLE_LIMIT_FROM - 1)))
    months = build.correction_months()
    w("- `crmensalrev3.tab` e `crmensalrevinss.tab`: nenhum mês falta de %s a %s; antes de %s faltam os "
      "reajustes de 1977 a 03/1991 e o salário mínimo de 07–10/1989." %
      (bt.month_text(months[0]), bt.month_text(months[-1]), bt.month_text(months[0])))
    have, gaps = coverage(build.pro_rata)
    refused, windows = proportional_refusals(build, bt.month("05/1996"))
    w("- `atuaprev.tab`: os meses de início %s, e os de %s–%s, antes da primeira linha: as tabelas pro rata "
      "desses reajustes não foram achadas (as de 05/1993, 09/1993, 01/1994 e 05/1995; de 1996, 1998 e 1999 as "
      "fontes leram a regra, mas não o anexo; a de 1997 só em parte; a de 2013 retificada não foi lida). Com a correção proporcional a partir de 01/05/1996, o cálculo é recusado para os inícios %s, "
      "nas janelas dos reajustes de %s; os outros meses da lista têm o primeiro reajuste antes dessa data, e "
      "ele é inteiro." % (span_text(gaps), bt.month_text(min(build.reaj.factor)),
                          bt.month_text(min(build.pro_rata) - 1), span_text(bt.spans(refused)),
                          and_list(map(bt.month_text, windows))))
    chain = build.chains["inss"]
    w("- Séries de correção: o INPC e o IGP-DI das fontes vão até %s. A tabela de número-índice (a cadeia do "
      "INSS) vai até %s e falta de %s em diante; as de percentuais vão até %s (o percentual do último mês não "
      "entra em nenhum fator) e faltam de %s em diante. Antes de %s não há ORTN gravada." %
      (bt.month_text(chain.last_pct), bt.month_text(max(build.index)), bt.month_text(max(build.index) + 1),
       bt.month_text(chain.last_pct), bt.month_text(chain.last_pct + 1), bt.month_text(chain.first)))
    w("- `inpc98.tab`: completa para a simulação (07/1994–11/1998).")
    w("")
    w("Valores de fonte única (marcados \"FONTE ÚNICA\" nas fontes, enviados como o precedente do IRSM de 1993): "
      "em `inss.tab` os tetos de %s; nas séries o IRSM de 1993, o INPC de %s e o IGP-DI de %s. Valores "
      "DERIVADOS: os reajustes de 1991–1994 ditos na seção de `crmensalrev3.tab`, o reajuste de 05/2005, as três "
      "tabelas pro rata de 1992, as tabelas pro rata de %s e as linhas %s da de 2014 (regra pro rata), os percentuais de ORTN, OTN e BTN (e três valores nominais corrigidos de "
      "erros de digitação: ORTN 03/1981 e 02/1984, BTN 08/1989), o IPC-r de 07/1994–06/1995 e a URV de "
      "28/02/1994.\n" % (span_text(bt.spans(bt.month(r["vigencia"]) for r in source_rows(build.teto) if unique(r))),
                        span_text(bt.spans(unique_months(src.inpc))),
                        span_text(bt.spans(unique_months(src.igpdi))),
                        and_list(y for y, derived in rule_tables(build) if derived),
                        " e ".join(bt.month_text(m) for m, v in sorted(build.pro_rata.items()) if v[2])))
