package quillomere.tarvex;

/**
 * A cell intensity file. Set Name, DataPath and LibPath, read, then read the fields and cells.
 */
public class TeskCELFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** DataPath: Set before the call that reads the file. */
    public String DataPath;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** FullPathName: Filled by the native methods. */
    public String FullPathName;
    /** ChipType: Filled by the native methods. */
    public String ChipType;
    /** Date: Filled by the native methods. */
    public String Date;
    /** FileVersion: Filled by the native methods. */
    public int FileVersion;
    /** Algorithm: Filled by the native methods. */
    public String Algorithm;
    /** AlgParams: Filled by the native methods. */
    public String AlgParams;
    /** NumAlgParams: Filled by the native methods. */
    public int NumAlgParams;
    /** CellMargin: Filled by the native methods. */
    public int CellMargin;
    /** Rows: Filled by the native methods. */
    public int Rows;
    /** Cols: Filled by the native methods. */
    public int Cols;
    /** NumMasked: Filled by the native methods. */
    public int NumMasked;
    /** NumOutliers: Filled by the native methods. */
    public int NumOutliers;
    /** NumProbes: Filled by the native methods. */
    public int NumProbes;
    /** UpperLeftX: Filled by the native methods. */
    public int UpperLeftX;
    /** UpperLeftY: Filled by the native methods. */
    public int UpperLeftY;
    /** UpperRightX: Filled by the native methods. */
    public int UpperRightX;
    /** UpperRightY: Filled by the native methods. */
    public int UpperRightY;
    /** LowerLeftX: Filled by the native methods. */
    public int LowerLeftX;
    /** LowerLeftY: Filled by the native methods. */
    public int LowerLeftY;
    /** LowerRightX: Filled by the native methods. */
    public int LowerRightX;
    /** LowerRightY: Filled by the native methods. */
    public int LowerRightY;
    /** ServerName: Set before the call that reads the file. */
    public String ServerName;
    /** NTUserName: Set before the call that reads the file. */
    public String NTUserName;
    /** DatHeader: Filled by the native methods. */
    public String DatHeader;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskCELFile() {
        super(TeskCELFile::new);
    }

    private TeskCELFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Rewrites the file that was read as a text file of the older version.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ConvertToVersion3() throws Exception;

    /**
     * Whether the file exists. Reads Name, DataPath and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * One algorithm parameter.
     *
     * @param index index of the item, from 0
     * @return its name (Param) and value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass GetAlgParam(int index) throws Exception;

    /**
     * Every algorithm parameter.
     *
     * @return the parameters, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass[] GetAlgParams() throws Exception;

    /**
     * The intensity of one cell.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return the intensity
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetIntensity(int x, int y) throws Exception;

    /**
     * The pixel count of one cell.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return the count
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetPixels(int x, int y) throws Exception;

    /**
     * One cell, by index (y * Cols + x).
     *
     * @param index index of the item, from 0
     * @return the cell
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskProbe GetProbeByIndex(int index) throws Exception;

    /**
     * One cell, by position.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return the cell
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskProbe GetProbeByPosition(int x, int y) throws Exception;

    /**
     * Every cell.
     *
     * @return the cells, by index
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskProbe[] GetProbes() throws Exception;

    /**
     * The standard deviation of one cell.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return the deviation
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetStdv(int x, int y) throws Exception;

    /**
     * Whether one cell is masked.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return true when masked
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean IsMasked(int x, int y) throws Exception;

    /**
     * Whether one cell is an outlier.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return true when an outlier
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean IsOutlier(int x, int y) throws Exception;

    /**
     * Reads the file named by Name, DataPath and LibPath, then fills every other field.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name, DataPath and LibPath, then fills the header
     * fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ReadHeader() throws Exception;

    /**
     * Releases this object's automation object; the next read makes a new one. Objects produced
     * from this one stop answering.
     *
     * @return true
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean ReleaseCOMObject() throws Exception;

}
