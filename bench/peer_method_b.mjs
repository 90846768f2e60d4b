// Method B the way a Node user would do it with ExcelJS: append every workbook's rows (values
// and styles) below the title of the first one, into one result workbook.
//
//     node peer_method_b.mjs FOLDER SHEET RESULT [TITLE_ROWS] [DATA_START]
//
// bench/run installs exceljs into its own folder under the build folder and points
// NODE_PATH there; the program itself never uses it.
import { createRequire } from "node:module";
import fs from "node:fs";
import path from "node:path";

const require = createRequire(import.meta.url);
const ExcelJS = require(process.env.EXCELJS_PATH || "exceljs");

const [folder, sheetName, result, titleArg, startArg] = process.argv.slice(2);
const titleRows = Number(titleArg || 6);
const dataStart = Number(startArg || 7);

const files = fs
    .readdirSync(folder)
    .filter((name) => /\.xls[xm]?$/i.test(name))
    .sort((a, b) => a.toLowerCase().localeCompare(b.toLowerCase()))
    .map((name) => path.join(folder, name));

function copyRow(sourceRow, targetRow) {
    sourceRow.eachCell({ includeEmpty: false }, (cell, column) => {
        const target = targetRow.getCell(column);
        target.value = cell.value;
        target.style = cell.style;
    });
    if (sourceRow.height) targetRow.height = sourceRow.height;
}

const book = new ExcelJS.Workbook();
const out = book.addWorksheet(sheetName);
let dest = 1;
for (const [index, file] of files.entries()) {
    const source = new ExcelJS.Workbook();
    await source.xlsx.readFile(file);
    const ws = source.getWorksheet(sheetName);
    if (!ws) continue;
    if (index === 0) {
        for (let row = 1; row <= titleRows; ++row) copyRow(ws.getRow(row), out.getRow(row));
        for (const range of ws.model.merges || []) {
            const bottom = Number(range.split(":").pop().replace(/[A-Z$]/g, ""));
            if (bottom <= titleRows) out.mergeCells(range);
        }
        ws.columns.forEach((column, i) => {
            if (column.width) out.getColumn(i + 1).width = column.width;
        });
        dest = titleRows + 1;
    }
    const last = ws.rowCount;
    for (let row = dataStart; row <= last; ++row) copyRow(ws.getRow(row), out.getRow(dest++));
}
await book.xlsx.writeFile(result);
