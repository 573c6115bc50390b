// The shipped template, as openpyxl reads the PPR.xltx the build packed beside the executable.
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST(ScheduleTemplate, IsAPrintableScheduleFormWithBothPlaceholders) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  const QString path = TestSupport::BinDir() + u"/PPR.xltx"_s;
  ASSERT_TRUE(QFileInfo::exists(path));
  const QJsonObject got =
      ReadWithOpenpyxl(
          path,
          u"wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.active\n"
          "cells = [(c.row, c.column, c.value) for row in ws.iter_rows() for c in row if isinstance(c.value, str)]\n"
          "where = lambda t: [[r, c] for r, c, v in cells if t in v]\n"
          "body = where('#body#')[0][0]\n"
          "print(json.dumps({\n"
          " 'template': wb.template, 'year': where('#year#'), 'body': where('#body#'),\n"
          " 'title': ' '.join(v for r, c, v in cells if r == where('#year#')[0][0] and '#' not in v),\n"
          " 'heads': [ws.cell(9, c).value for c in range(1, 21)], 'months': [ws.cell(10, c).value for c in range(8, "
          "20)],\n"
          " 'below': [v for r, c, v in cells if r > body],\n"
          " 'form': [v for r, c, v in cells if r < where('#year#')[0][0] or 9 > r > where('#year#')[0][0]],\n"
          " 'page': [ws.page_setup.orientation, str(ws.page_setup.paperSize), "
          "ws.sheet_properties.pageSetUpPr.fitToPage],\n"
          " 'titles': ws.print_title_rows, 'area': str(ws.print_area).split('!')[-1].strip(\"[]'\"),\n"
          " 'widths': [ws.column_dimensions[openpyxl.utils.get_column_letter(c)].width for c in range(1, 21)]}))\n"_s)
          .toObject();
  EXPECT_TRUE(got[u"template"_s].toBool());
  // One "#year#" in the title line, one "#body#" in column A of the first body row, both below row 1.
  ASSERT_EQ(got[u"year"_s].toArray().size(), 1);
  EXPECT_GT(got[u"year"_s].toArray()[0].toArray()[0].toInt(), 1);
  EXPECT_TRUE(got[u"title"_s].toString().contains(u"График"_s));
  ASSERT_EQ(got[u"body"_s].toArray().size(), 1);
  EXPECT_EQ(Json(got[u"body"_s]), Json(QJsonArray{QJsonArray{11, 1}}));
  const QJsonArray expectedHeads{u"№ п/п"_s,        u"Наименование СИ"_s,        u"Тип СИ"_s,
                                 u"Зав. №"_s,       u"Пределы измерений"_s,      u"Класс точности"_s,
                                 u"Дата поверки"_s, u"Месяцы проведения работ"_s};
  QJsonArray heads = got[u"heads"_s].toArray();
  for (int i = 0; i < expectedHeads.size(); ++i) EXPECT_EQ(heads[i], expectedHeads[i]) << i;
  EXPECT_EQ(heads[19].toString(), u"Примечание"_s);
  EXPECT_EQ(Json(got[u"months"_s]),
            Json(QJsonArray{u"Январь"_s, u"Февраль"_s, u"Март"_s, u"Апрель"_s, u"Май"_s, u"Июнь"_s, u"Июль"_s,
                            u"Август"_s, u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s}));
  // Header rows write over the rows below the anchor: nothing of the form may stand there.
  EXPECT_EQ(Json(got[u"below"_s]), Json(QJsonArray{}));
  // The approvals beside each other above the title, the signature between the title and the headings.
  const QJsonArray form = got[u"form"_s].toArray();
  EXPECT_TRUE(form.contains(u"СОГЛАСОВАНО"_s)) << Json(form);
  EXPECT_TRUE(form.contains(u"УТВЕРЖДАЮ"_s)) << Json(form);
  EXPECT_TRUE(std::any_of(form.begin(), form.end(), [](const QJsonValue& v) {
    return v.toString().startsWith(u"Составил: инженер-метролог"_s);
  })) << Json(form);
  EXPECT_EQ(Json(got[u"page"_s]), Json(QJsonArray{u"landscape"_s, u"9"_s, true}));  // A4 landscape, fit to width
  EXPECT_EQ(got[u"titles"_s].toString(), u"$9:$10"_s);                              // the headings repeat on every page
  // Columns only: the body grows below any row a fixed area could name.
  EXPECT_EQ(got[u"area"_s].toString(), u"$A:$T"_s);
  for (const QJsonValue& width : got[u"widths"_s].toArray()) {
    EXPECT_GE(width.toDouble(), 4.0);
    EXPECT_LE(width.toDouble(), 40.0);
  }
}
