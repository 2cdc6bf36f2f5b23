package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.dir;
import static quillomere.tarvex.TestFiles.expectMessage;

import org.junit.jupiter.api.Test;

class ImageFileTest {
    private static TeskDATFile image() {
        TeskDATFile dat = new TeskDATFile();
        dat.Name = "scan.DAT";
        dat.DataPath = dir();
        return dat;
    }

    @Test
    void readHandsOutHeaderAndPixels() throws Exception {
        try (TeskDATFile dat = image()) {
            assertTrue(dat.Exists());
            assertNull(dat.GetLineIntensities(0));
            dat.Read();
            assertEquals("TestChip", dat.ChipType);
            assertEquals(20, dat.NumPixelsPerRow);
            assertEquals(30, dat.NumRows);
            assertEquals(60000, dat.MaxData);
            assertEquals("scan-9", dat.ScannerID);
            assertEquals(30, dat.UpperRightX);
            assertEquals(3 * 131 + 5 * 7, dat.GetIntensity(3, 5));
            int[] line = dat.GetLineIntensities(7);
            assertEquals(20, line.length);
            assertEquals(19 * 131 + 7 * 7, line[19]);
        }
    }

    @Test
    void readHeaderNeedsTheLibraryPath() throws Exception {
        TeskDATFile dat = image();
        expectMessage("LibPath cannot be empty", dat::ReadHeader);
        dat.LibPath = dir();
        dat.ReadHeader();
        assertEquals(30, dat.NumRows);
        dat.Name = null;
        expectMessage("DAT name cannot be empty", dat::Read);
        dat.Name = "scan.DAT";
        dat.DataPath = "";
        expectMessage("DataPath cannot be empty", dat::Exists);
        dat.DataPath = dir() + "/nowhere";
        Exception e = org.junit.jupiter.api.Assertions.assertThrows(Exception.class, dat::Read);
        assertTrue(e.getMessage().startsWith("COM Error - Read: Failure in ITeskDATFile-Read: "), e.getMessage());
        assertTrue(dat.ReleaseCOMObject());
    }
}
